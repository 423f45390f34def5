#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/standard_device.hpp"

namespace console {
namespace {

// Everything the signal handlers touch. They use the two modes only while
// `waiting_for_key` is set, which happens only after both have been filled in.
struct termios terminal_as_found {};
struct termios terminal_for_key {};
volatile sig_atomic_t waiting_for_key = 0;
// Set by the continue handler, so that a stop we asked for can be told from one that the
// system refused to carry out.
volatile sig_atomic_t continued = 0;
// Only the main flow reads and writes this one.
bool terminal_state_taken = false;

// The fences keep the compiler from moving a terminal change across a flag that a handler
// reads; the handler sees the flag and the terminal change in program order.
void set_flag(volatile sig_atomic_t& flag, sig_atomic_t value) {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    flag = value;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

// Async-signal-safe: called from the handlers as well as from the main flow. TCSANOW so
// that nothing typed ahead is thrown away.
void apply(const struct termios& mode) {
    while (::tcsetattr(STDIN_FILENO, TCSANOW, &mode) != 0 && errno == EINTR) {
    }
}

void set_disposition(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
}

// Whoever started us with a signal ignored (nohup, a background job of a shell without
// job control) wants it to stay ignored.
void install_unless_ignored(int signal_number, void (*handler)(int)) {
    struct sigaction current {};
    if (::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
        return;
    }
    set_disposition(signal_number, handler);
}

// Only async-signal-safe calls below, down to the end of the handlers: tcsetattr,
// sigaction, sigemptyset, sigaddset, sigprocmask, raise, and errno saved around them.

// Ctrl-C, Ctrl-\, kill, hang-up: put the terminal back, then die of the signal as if we had
// no handler, so that whoever waits for us sees why we ended.
extern "C" void on_fatal_signal(int signal_number) {
    if (waiting_for_key != 0) {
        apply(terminal_as_found);
    }
    set_disposition(signal_number, SIG_DFL);
    // Blocked while this handler runs: delivered, with its default action, on return.
    ::raise(signal_number);
}

// Ctrl-Z: the shell gets its terminal back as it was, then we stop for real.
extern "C" void on_stop_signal(int) {
    const int saved_errno = errno;
    if (waiting_for_key != 0) {
        apply(terminal_as_found);
    }
    set_disposition(SIGTSTP, SIG_DFL);
    sigset_t stop_only;
    ::sigemptyset(&stop_only);
    ::sigaddset(&stop_only, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &stop_only, nullptr);
    ::raise(SIGTSTP);
    // Continued (the continue handler has already set the key mode again), or never
    // stopped at all because nobody could continue an orphaned job: then set it here.
    set_disposition(SIGTSTP, on_stop_signal);
    if (waiting_for_key != 0) {
        apply(terminal_for_key);
    }
    errno = saved_errno;
}

// `fg` after Ctrl-Z, or after any other stop: a pause that was waiting waits on in its mode.
extern "C" void on_continue_signal(int) {
    const int saved_errno = errno;
    continued = 1;
    if (waiting_for_key != 0) {
        apply(terminal_for_key);
    }
    errno = saved_errno;
}

bool in_foreground() {
    const pid_t foreground = ::tcgetpgrp(STDIN_FILENO);
    // No process group to compare with: standard input is not our controlling terminal.
    return foreground < 0 || foreground == ::getpgrp();
}

bool terminal_stop_signal_reaches_us() {
    struct sigaction current {};
    sigset_t blocked;
    ::sigemptyset(&blocked);
    ::sigaction(SIGTTOU, nullptr, &current);
    ::sigprocmask(SIG_BLOCK, nullptr, &blocked);
    return current.sa_handler != SIG_IGN && ::sigismember(&blocked, SIGTTOU) == 0;
}

// A job started in the background must not take the terminal's modes while its shell owns
// the terminal: the shell may have them set for its own line editing, and we would later
// "restore" that. So the job stops, as the system stops any background job that touches
// the terminal's modes, until the shell hands it the terminal. Where the stop signal is
// ignored or blocked the system lets such a job change the modes, and it goes on as it is.
void wait_until_foreground() {
    while (!in_foreground() && terminal_stop_signal_reaches_us()) {
        set_flag(continued, 0);
        ::kill(0, SIGTTOU);
        if (continued == 0) {
            return;  // not stopped: an orphaned job, nobody would ever bring it forward
        }
    }
}

// The modes are taken once, from the terminal as the user had it; everything we restore is
// that, and the key mode is derived from it.
bool take_terminal_state() {
    if (terminal_state_taken) {
        return true;
    }
    wait_until_foreground();
    struct termios found {};
    if (::tcgetattr(STDIN_FILENO, &found) != 0) {
        return false;
    }
    terminal_as_found = found;
    terminal_for_key = found;
    // Only line editing and echo go: signal keys, input and output processing stay.
    terminal_for_key.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    terminal_for_key.c_cc[VMIN] = 1;
    terminal_for_key.c_cc[VTIME] = 0;
    terminal_state_taken = true;
    return true;
}

// Sets the terminal up for one key press and puts it back however the scope is left. The
// flag goes up before the change and down before the restore, so that a handler running
// in between never leaves the key mode behind.
class key_mode_guard {
public:
    key_mode_guard() {
        set_flag(waiting_for_key, 1);
        apply(terminal_for_key);
    }
    key_mode_guard(const key_mode_guard&) = delete;
    key_mode_guard& operator=(const key_mode_guard&) = delete;
    ~key_mode_guard() {
        set_flag(waiting_for_key, 0);
        apply(terminal_as_found);
    }
};

// A descriptor that someone else set to non-blocking (they share it with us) says "not
// now" instead of waiting. That is no end of input and no failed write: we wait the way a
// blocking descriptor would have, and try again. False when waiting is impossible.
bool wait_until_ready(int descriptor, short events) {
    struct pollfd ready {descriptor, events, 0};
    for (;;) {
        const int result = ::poll(&ready, 1, -1);
        if (result > 0) {
            // Readiness, hang-up or error: the retried call tells which.
            return (ready.revents & POLLNVAL) == 0;
        }
        if (result < 0 && errno != EINTR) {
            return false;
        }
    }
}

bool must_wait(ssize_t result) { return result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK); }

// Reads what standard input has, at most `size` bytes, waiting for at least one. 0 at the
// end of input, and for an input that cannot be read, which is as good as ended.
std::size_t read_input(void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t received = ::read(STDIN_FILENO, buffer, size);
        if (received >= 0) {
            return static_cast<std::size_t>(received);
        }
        if (must_wait(received) && wait_until_ready(STDIN_FILENO, POLLIN)) {
            continue;
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

bool read_byte(unsigned char& byte) { return read_input(&byte, 1) == 1; }

// The bytes of one key press come from the terminal together; a gap this long means the
// key is complete.
bool byte_follows_at_once() {
    struct pollfd input {STDIN_FILENO, POLLIN, 0};
    constexpr int key_bytes_gap_milliseconds = 25;
    return ::poll(&input, 1, key_bytes_gap_milliseconds) == 1 && (input.revents & POLLIN) != 0;
}

bool any_byte(unsigned char) { return true; }
bool in_control_sequence(unsigned char byte) { return byte >= 0x20 && byte <= 0x7e; }
bool ends_control_sequence(unsigned char byte) { return byte >= 0x40 && byte <= 0x7e; }
bool continues_character(unsigned char byte) { return byte >= 0x80 && byte <= 0xbf; }

int continuation_bytes_after(unsigned char lead) {
    if (lead >= 0xc2 && lead <= 0xdf) {
        return 1;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        return 2;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        return 3;
    }
    return 0;
}

}  // namespace

standard_device::standard_device() {
    // A reader that goes away must not kill us; the failed write is simply dropped.
    ::signal(SIGPIPE, SIG_IGN);

    output_is_terminal_ = ::isatty(STDOUT_FILENO) == 1;
    const char* terminal_type = std::getenv("TERM");
    clear_with_escape_sequences_ =
        output_is_terminal_ && (terminal_type == nullptr || std::strcmp(terminal_type, "dumb") != 0);

    input_is_terminal_ = ::isatty(STDIN_FILENO) == 1;
    if (input_is_terminal_) {
        for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            install_unless_ignored(signal_number, on_fatal_signal);
        }
        install_unless_ignored(SIGTSTP, on_stop_signal);
        set_disposition(SIGCONT, on_continue_signal);
        // In the foreground the terminal is as the user left it: take it now. A job started
        // in the background takes it at its first pause, once it owns the terminal.
        if (in_foreground()) {
            take_terminal_state();
        }
    }
}

standard_device::~standard_device() = default;

void standard_device::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (must_wait(written) && wait_until_ready(STDOUT_FILENO, POLLOUT)) {
            continue;
        }
        if (written <= 0) {
            return;  // closed, full or gone: the dialogue goes on without this output
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::size_t standard_device::read(char* buffer, std::size_t size) {
    if (kept_byte_ >= 0 && size > 0) {
        buffer[0] = static_cast<char>(kept_byte_);
        kept_byte_ = -1;
        return 1;
    }
    return read_input(buffer, size);
}

bool standard_device::next_byte_of_key(unsigned char& byte, bool (*belongs)(unsigned char)) {
    if (!byte_follows_at_once() || !read_byte(byte)) {
        return false;
    }
    if (belongs(byte)) {
        return true;
    }
    // Typed after the key: it is the user's next input, not part of this key press.
    kept_byte_ = byte;
    return false;
}

// A key such as an arrow or a non-ASCII letter sends several bytes; all of them belong to
// the one key press, or the rest would turn up as input to the next prompt.
void standard_device::read_rest_of_key(unsigned char first) {
    unsigned char byte = first;
    if (first == 0x1b) {
        if (!next_byte_of_key(byte, any_byte)) {
            return;  // the Escape key alone
        }
        if (byte == '[') {
            // Control sequence: parameter and intermediate bytes, then one final byte.
            while (next_byte_of_key(byte, in_control_sequence)) {
                if (ends_control_sequence(byte)) {
                    return;
                }
            }
            return;
        }
        if (byte == 'O') {
            next_byte_of_key(byte, ends_control_sequence);
            return;
        }
        // Escape and a key at once is how terminals send Alt with that key.
    }
    for (int remaining = continuation_bytes_after(byte); remaining > 0; --remaining) {
        if (!next_byte_of_key(byte, continues_character)) {
            return;
        }
    }
}

void standard_device::wait_for_key() {
    if (!input_is_terminal_ || !take_terminal_state()) {
        return;
    }
    const key_mode_guard guard;
    unsigned char key = 0;
    if (kept_byte_ >= 0) {
        // Typed ahead and not read by anyone yet: like any key typed ahead, it answers the pause.
        key = static_cast<unsigned char>(kept_byte_);
        kept_byte_ = -1;
    } else if (!read_byte(key)) {
        return;
    }
    read_rest_of_key(key);
}

void standard_device::clear_screen() {
    write(clear_with_escape_sequences_ ? std::string_view{"\x1b[H\x1b[2J\x1b[3J"}
                                       : std::string_view{"\f"});
}

}  // namespace console
