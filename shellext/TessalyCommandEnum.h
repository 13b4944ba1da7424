#pragma once
// The subcommands of the Tessaly command, as Windows 11's menu walks them.
// Clones share the list and keep a position of their own.
#include <windows.h>

#include <shobjidl.h>

#include <memory>
#include <vector>

#include "framework/com/ComPtr.h"
#include "framework/com/ObjectRoot.h"

namespace tessaly {

using CommandList = std::vector<com::ComPtr<IExplorerCommand>>;

class CTessalyCommandEnum : public com::CComObjectRootST, public IEnumExplorerCommand {
public:
    using PrimaryInterface = IEnumExplorerCommand;
    static const com::InterfaceEntry* InterfaceTable() noexcept;

    void SetList(std::shared_ptr<const CommandList> commands, std::size_t position = 0) noexcept;

    // Up to celt commands, each with a reference for the caller; S_FALSE
    // when fewer were left. pceltFetched may be null only when celt is 1.
    STDMETHODIMP Next(ULONG celt, IExplorerCommand** pUICommand, ULONG* pceltFetched) noexcept override;
    STDMETHODIMP Skip(ULONG celt) noexcept override;
    STDMETHODIMP Reset() noexcept override;
    STDMETHODIMP Clone(IEnumExplorerCommand** ppenum) noexcept override;

protected:
    CTessalyCommandEnum() = default;
    virtual ~CTessalyCommandEnum() = default;

private:
    std::shared_ptr<const CommandList> m_commands;
    std::size_t m_position = 0;
};

}  // namespace tessaly
