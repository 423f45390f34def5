#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "console/standard_device.hpp"

namespace console {
namespace {

// Everything the signal handlers touch lives here, set up before any handler can run.
struct termios terminal_as_found {};
struct termios terminal_for_key {};
volatile std::sig_atomic_t waiting_for_key = 0;

void apply(const struct termios& mode) { ::tcsetattr(STDIN_FILENO, TCSANOW, &mode); }

// Fatal signals: put the terminal back, then die of the signal as if we had no handler.
extern "C" void on_fatal_signal(int signal_number) {
    if (waiting_for_key != 0) {
        apply(terminal_as_found);
    }
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

// Ctrl-Z: the shell gets its terminal back as it was; on `fg` the pause goes on waiting.
extern "C" void on_stop_signal(int) {
    const int saved_errno = errno;
    if (waiting_for_key != 0) {
        apply(terminal_as_found);
    }
    ::signal(SIGTSTP, SIG_DFL);
    sigset_t stop_only;
    ::sigemptyset(&stop_only);
    ::sigaddset(&stop_only, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &stop_only, nullptr);
    ::raise(SIGTSTP);
    // Resumed.
    struct sigaction again {};
    again.sa_handler = on_stop_signal;
    again.sa_flags = SA_RESTART;
    ::sigemptyset(&again.sa_mask);
    ::sigaction(SIGTSTP, &again, nullptr);
    if (waiting_for_key != 0) {
        apply(terminal_for_key);
    }
    errno = saved_errno;
}

void install(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
}

// Sets the terminal up for one key press and puts it back however the scope is left.
class key_mode_guard {
public:
    key_mode_guard() {
        waiting_for_key = 1;
        apply(terminal_for_key);
    }
    key_mode_guard(const key_mode_guard&) = delete;
    key_mode_guard& operator=(const key_mode_guard&) = delete;
    ~key_mode_guard() {
        apply(terminal_as_found);
        waiting_for_key = 0;
    }
};

bool read_byte(unsigned char& byte) {
    for (;;) {
        const ssize_t received = ::read(STDIN_FILENO, &byte, 1);
        if (received == 1) {
            return true;
        }
        if (received < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

bool byte_follows_at_once() {
    struct pollfd input {STDIN_FILENO, POLLIN, 0};
    constexpr int escape_sequence_gap_milliseconds = 25;
    return ::poll(&input, 1, escape_sequence_gap_milliseconds) == 1 &&
           (input.revents & POLLIN) != 0;
}

// A key such as an arrow or a non-ASCII letter sends several bytes; all of them belong to
// the one key press, or the rest would turn up as input to the next prompt.
void read_rest_of_key(unsigned char first) {
    unsigned char byte = 0;
    if (first == 0x1b) {
        if (!byte_follows_at_once() || !read_byte(byte)) {
            return;
        }
        if (byte == '[') {
            // Control sequence: parameters until a final byte from '@' to '~'.
            while (byte_follows_at_once() && read_byte(byte)) {
                if (byte >= 0x40 && byte <= 0x7e) {
                    return;
                }
            }
        } else if (byte == 'O') {
            if (byte_follows_at_once()) {
                read_byte(byte);
            }
        }
        return;
    }
    int continuation_bytes = 0;
    if (first >= 0xf0 && first <= 0xf4) {
        continuation_bytes = 3;
    } else if (first >= 0xe0) {
        continuation_bytes = first <= 0xef ? 2 : 0;
    } else if (first >= 0xc2) {
        continuation_bytes = 1;
    }
    while (continuation_bytes-- > 0 && byte_follows_at_once() && read_byte(byte)) {
    }
}

}  // namespace

standard_device::standard_device() {
    // A reader that goes away must not kill us; the failed write is simply dropped.
    ::signal(SIGPIPE, SIG_IGN);

    output_is_terminal_ = ::isatty(STDOUT_FILENO) == 1;
    const char* terminal_type = std::getenv("TERM");
    clear_with_escape_sequences_ =
        output_is_terminal_ && (terminal_type == nullptr || std::strcmp(terminal_type, "dumb") != 0);

    // The terminal is read once, here, before we ever change it, so what we restore is
    // what the user had.
    input_is_terminal_ = ::isatty(STDIN_FILENO) == 1 &&
                         ::tcgetattr(STDIN_FILENO, &terminal_as_found) == 0;
    if (input_is_terminal_) {
        terminal_for_key = terminal_as_found;
        // Only line editing and echo go; signals and output processing stay as they were.
        terminal_for_key.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        terminal_for_key.c_cc[VMIN] = 1;
        terminal_for_key.c_cc[VTIME] = 0;
        for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            install(signal_number, on_fatal_signal);
        }
        install(SIGTSTP, on_stop_signal);
    }
}

standard_device::~standard_device() = default;

void standard_device::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // closed, full or gone: the dialogue goes on without this output
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t standard_device::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t received = ::read(STDIN_FILENO, buffer, size);
        if (received >= 0) {
            return static_cast<std::size_t>(received);
        }
        if (errno != EINTR) {
            return 0;  // an input that cannot be read is an input that has ended
        }
    }
}

void standard_device::wait_for_key() {
    if (!input_is_terminal_) {
        return;
    }
    const key_mode_guard guard;
    unsigned char key = 0;
    if (read_byte(key)) {
        read_rest_of_key(key);
    }
}

void standard_device::clear_screen() {
    write(clear_with_escape_sequences_ ? std::string_view{"\x1b[H\x1b[2J\x1b[3J"}
                                       : std::string_view{"\f"});
}

}  // namespace console
