#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "console/standard_device.hpp"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace console {
namespace {

// The C runtime's descriptors, used rather than the console handles so that the streams
// keep their default text mode: "\n" goes out as "\r\n" to a file or pipe, and "\r\n"
// comes in as "\n".
constexpr int standard_input = 0;
constexpr int standard_output = 1;

// The output mode as found, while a clear has changed it. The console keeps a mode after
// the process has gone, so a Ctrl-C in the middle of a clear must put it back; the
// control handler runs on a thread of its own, hence atomics.
std::atomic<HANDLE> output_console{nullptr};
std::atomic<DWORD> output_mode_as_found{0};
std::atomic<bool> output_mode_changed{false};

BOOL WINAPI on_console_control(DWORD) {
    if (output_mode_changed.load()) {
        ::SetConsoleMode(output_console.load(), output_mode_as_found.load());
    }
    return FALSE;  // then the next handler, in the end the default one that ends the process
}

// A handle is a console only if the console API accepts it: _isatty also says yes to
// the NUL device and other character devices, which have no screen and no keyboard.
bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetConsoleMode(handle, &mode) != 0;
}

// The runtime's default reaction to a call on a descriptor that is not open is to end
// the process; a write to a missing output must only be dropped.
void ignore_invalid_parameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int,
                              std::uintptr_t) {}

bool is_modifier_only(WORD virtual_key) {
    switch (virtual_key) {
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
        case VK_LWIN:
        case VK_RWIN:
        case VK_CAPITAL:
        case VK_NUMLOCK:
        case VK_SCROLL:
            return true;
        default:
            return false;
    }
}

// Sets virtual terminal processing on the output for the length of one clear, if the
// console supports it, and puts the mode back however the scope is left.
class terminal_sequences_guard {
public:
    explicit terminal_sequences_guard(HANDLE output) : output_(output) {
        DWORD mode = 0;
        if (::GetConsoleMode(output_, &mode) == 0) {
            return;
        }
        if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
            supported_ = true;
            return;
        }
        output_mode_as_found.store(mode);
        output_mode_changed.store(true);
        if (::SetConsoleMode(output_, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
            supported_ = true;
            changed_ = true;
        } else {
            output_mode_changed.store(false);
        }
    }
    terminal_sequences_guard(const terminal_sequences_guard&) = delete;
    terminal_sequences_guard& operator=(const terminal_sequences_guard&) = delete;
    ~terminal_sequences_guard() {
        if (changed_) {
            ::SetConsoleMode(output_, output_mode_as_found.load());
            output_mode_changed.store(false);
        }
    }

    [[nodiscard]] bool supported() const { return supported_; }

private:
    HANDLE output_;
    bool supported_ = false;
    bool changed_ = false;
};

// Consoles without virtual terminal processing: blank every cell of the buffer with the
// current colours and put the cursor top left.
void clear_console_buffer(HANDLE output) {
    CONSOLE_SCREEN_BUFFER_INFO buffer{};
    if (::GetConsoleScreenBufferInfo(output, &buffer) == 0) {
        return;
    }
    const auto cells = static_cast<DWORD>(buffer.dwSize.X) * static_cast<DWORD>(buffer.dwSize.Y);
    const COORD top_left{0, 0};
    DWORD written = 0;
    ::FillConsoleOutputCharacterW(output, L' ', cells, top_left, &written);
    ::FillConsoleOutputAttribute(output, buffer.wAttributes, cells, top_left, &written);
    ::SetConsoleCursorPosition(output, top_left);
}

}  // namespace

standard_device::standard_device() {
    ::_set_invalid_parameter_handler(ignore_invalid_parameter);

    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    output_is_terminal_ = is_console(output);
    input_is_terminal_ = is_console(::GetStdHandle(STD_INPUT_HANDLE));
    if (output_is_terminal_) {
        output_console.store(output);
        ::SetConsoleCtrlHandler(on_console_control, TRUE);
    }
}

standard_device::~standard_device() {
    if (output_is_terminal_) {
        ::SetConsoleCtrlHandler(on_console_control, FALSE);
    }
}

void standard_device::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<unsigned int>(std::min<std::size_t>(bytes.size(), INT_MAX));
        const int written = ::_write(standard_output, bytes.data(), chunk);
        if (written <= 0) {
            return;  // closed, full or gone: the dialogue goes on without this output
        }
        // In text mode the count is of our bytes, not of the "\r" added before each "\n".
        bytes.remove_prefix(std::min(bytes.size(), static_cast<std::size_t>(written)));
    }
}

std::size_t standard_device::read(char* buffer, std::size_t size) {
    const auto chunk = static_cast<unsigned int>(std::min<std::size_t>(size, INT_MAX));
    const int received = ::_read(standard_input, buffer, chunk);
    // An input that cannot be read is an input that has ended.
    return received > 0 ? static_cast<std::size_t>(received) : 0;
}

void standard_device::wait_for_key() {
    if (!input_is_terminal_) {
        return;
    }
    // Records straight from the console's input queue: the line the number stream reads
    // is never touched, and nothing is echoed. The key-up of the Enter that ended the
    // last answer is still queued, which is why only a key going down counts.
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        INPUT_RECORD record{};
        DWORD count = 0;
        if (::ReadConsoleInputW(input, &record, 1, &count) == 0) {
            return;  // no keyboard after all: do not wait for ever
        }
        if (count == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown != 0 &&
            !is_modifier_only(record.Event.KeyEvent.wVirtualKeyCode)) {
            return;
        }
    }
}

void standard_device::clear_screen() {
    if (!output_is_terminal_) {
        write("\f");
        return;
    }
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const terminal_sequences_guard sequences(output);
    if (sequences.supported()) {
        write("\x1b[H\x1b[2J\x1b[3J");
    } else {
        clear_console_buffer(output);
    }
}

}  // namespace console
