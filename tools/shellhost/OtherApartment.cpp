#include "tools/shellhost/OtherApartment.h"

#include <exception>
#include <memory>
#include <thread>

#include "tools/shellhost/HandlerSession.h"

namespace tessaly::shellhost {
namespace {

// Shared with the worker, which may outlive a caller that stopped waiting.
struct Exchange {
    CommandMaker make;
    ComPtr<IStream> items;  // the marshaled array and site, taken by the worker
    ComPtr<IStream> site;
    OtherApartmentAnswer answer;
    HANDLE done = nullptr;
    ~Exchange() {
        if (done != nullptr) ::CloseHandle(done);
    }
};

void Ask(Exchange& exchange) {
    ComPtr<IShellItemArray> items;
    ComPtr<IUnknown> site;
    HRESULT result = S_OK;
    if (exchange.items)
        result = ::CoGetInterfaceAndReleaseStream(exchange.items.detach(), IID_IShellItemArray, items.put_void());
    if (SUCCEEDED(result) && exchange.site)
        result = ::CoGetInterfaceAndReleaseStream(exchange.site.detach(), IID_IUnknown, site.put_void());
    if (FAILED(result)) {
        exchange.answer.problem = L"unmarshaling the click failed with " + ResultInWords(result);
        return;
    }
    ComPtr<IExplorerCommand> command;
    result = exchange.make(command);
    if (FAILED(result) || !command) {
        exchange.answer.problem = L"making a second instance failed with " +
                                  ResultInWords(FAILED(result) ? result : E_NOINTERFACE);
        return;
    }
    ComPtr<IObjectWithSite> withSite;
    if (site && SUCCEEDED(command->QueryInterface(IID_IObjectWithSite, withSite.put_void())) && withSite)
        withSite->SetSite(site.get());
    exchange.answer.result = command->GetState(items.get(), TRUE, &exchange.answer.state);
    if (withSite) withSite->SetSite(nullptr);
}

// The second apartment's thread. It holds the exchange, which outlives a
// thread that does not answer in time. (A function, not a lambda owning the
// exchange: clang would name such a lambda's constructor in the debug
// information by this file's full path, which differs between checkouts.)
void AnswerOnWorker(std::shared_ptr<Exchange> exchange) {
    if (SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        try {
            Ask(*exchange);
        } catch (const std::exception&) {
            exchange->answer.result = E_OUTOFMEMORY;  // nothing else here throws
        }
        ::CoUninitialize();
    } else {
        exchange->answer.problem = L"CoInitializeEx failed";
    }
    ::SetEvent(exchange->done);
}

}  // namespace

OtherApartmentAnswer AskFromAnotherApartment(const CommandMaker& make, IShellItemArray* items, IUnknown* site,
                                             unsigned seconds) {
    auto exchange = std::make_shared<Exchange>();
    if (!make) {
        exchange->answer.problem = L"no way to make a second instance";
        return exchange->answer;
    }
    exchange->make = make;
    exchange->done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (exchange->done == nullptr) {
        exchange->answer.problem = L"CreateEvent failed";
        return exchange->answer;
    }
    HRESULT result = S_OK;
    if (items != nullptr)
        result = ::CoMarshalInterThreadInterfaceInStream(IID_IShellItemArray, items, exchange->items.put());
    if (SUCCEEDED(result) && site != nullptr)
        result = ::CoMarshalInterThreadInterfaceInStream(IID_IUnknown, site, exchange->site.put());
    if (FAILED(result)) {
        exchange->answer.problem = L"marshaling the click failed with " + ResultInWords(result);
        return exchange->answer;
    }
    std::thread worker(AnswerOnWorker, exchange);
    DWORD index = 0;
    const HRESULT waited = ::CoWaitForMultipleHandles(COWAIT_DEFAULT, seconds * 1000, 1, &exchange->done, &index);
    if (waited == RPC_S_CALLPENDING) {
        worker.detach();  // it keeps what it uses alive
        OtherApartmentAnswer late;
        late.problem = L"the second GetState did not answer within " + std::to_wstring(seconds) + L" s";
        return late;
    }
    // Done with its question; gone with all it held once joined.
    worker.join();
    return exchange->answer;
}

}  // namespace tessaly::shellhost
