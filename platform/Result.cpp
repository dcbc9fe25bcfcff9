#include "platform/Result.h"

#include "platform/Resource.h"

namespace wrang::platform {

BSTR SystemMessage(HRESULT status) noexcept {
    UniqueLocalMemory<wchar_t> text;
    if (!FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<LPWSTR>(text.put()), 0, nullptr) ||
        !text) {
        return nullptr;
    }
    return SysAllocString(text.get());
}

}  // namespace wrang::platform
