#include "shellext/TessalyCommandEnum.h"

#include "diagnostics/EntryPoint.h"

namespace tessaly {

namespace {

template <typename Work>
HRESULT Guarded(const wchar_t* operation, HRESULT failure, Work&& work) noexcept {
    return RunGuarded(L"CTessalyCommandEnum::", operation, HResult{failure}, std::forward<Work>(work));
}

}  // namespace

const com::InterfaceEntry* CTessalyCommandEnum::InterfaceTable() noexcept {
    static const com::InterfaceEntry table[] = {
        {&IID_IEnumExplorerCommand, com::InterfaceOf<CTessalyCommandEnum, IEnumExplorerCommand>},
        {nullptr, nullptr},
    };
    return table;
}

void CTessalyCommandEnum::SetList(std::shared_ptr<const CommandList> commands, std::size_t position) noexcept {
    m_commands = std::move(commands);
    m_position = position;
}

STDMETHODIMP CTessalyCommandEnum::Next(ULONG celt, IExplorerCommand** pUICommand, ULONG* pceltFetched) noexcept {
    return Guarded(L"Next", E_FAIL, [&](HResult& result) {
        if (pceltFetched != nullptr) *pceltFetched = 0;
        if (pUICommand == nullptr || (pceltFetched == nullptr && celt != 1)) {
            result = E_POINTER;
            return;
        }
        ULONG fetched = 0;
        while (fetched < celt && m_commands && m_position < m_commands->size()) {
            IExplorerCommand* command = (*m_commands)[m_position++].get();
            command->AddRef();
            pUICommand[fetched++] = command;
        }
        if (pceltFetched != nullptr) *pceltFetched = fetched;
        result = fetched == celt ? S_OK : S_FALSE;
    });
}

STDMETHODIMP CTessalyCommandEnum::Skip(ULONG celt) noexcept {
    return Guarded(L"Skip", E_FAIL, [&](HResult& result) {
        const std::size_t left = m_commands ? m_commands->size() - m_position : 0;
        const std::size_t skipped = celt < left ? celt : left;
        m_position += skipped;
        result = skipped == celt ? S_OK : S_FALSE;
    });
}

STDMETHODIMP CTessalyCommandEnum::Reset() noexcept {
    return Guarded(L"Reset", E_FAIL, [&](HResult& result) {
        m_position = 0;
        result = S_OK;
    });
}

STDMETHODIMP CTessalyCommandEnum::Clone(IEnumExplorerCommand** ppenum) noexcept {
    return Guarded(L"Clone", E_OUTOFMEMORY, [&](HResult& result) {
        if (ppenum == nullptr) {
            result = E_POINTER;
            return;
        }
        *ppenum = nullptr;
        const auto clone = com::MakeObject<CTessalyCommandEnum>();
        clone->SetList(m_commands, m_position);
        *ppenum = com::ComPtr<IEnumExplorerCommand>::Share(clone.get()).detach();
        result = S_OK;
    });
}

}  // namespace tessaly
