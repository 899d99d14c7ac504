// A stdio stream over the terminal's descriptor that makes control characters visible; it
// replaces stdout and stderr, so every printf of every command is covered.
#include "cli/terminal_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/string_util.h"

namespace zorvane::cli {

namespace {

struct Terminal {
    int fd;
    bool pendingC2 = false;
};

bool writeAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

ssize_t terminalWrite(void* cookie, const char* data, size_t size) {
    auto* t = static_cast<Terminal*>(cookie);
    return writeAll(t->fd, visibleControls(std::string_view(data, size), t->pendingC2))
               ? ssize_t(size)
               : -1;
}

int terminalClose(void* cookie) {
    auto* t = static_cast<Terminal*>(cookie);
    if (t->pendingC2) writeAll(t->fd, "\xC2");
    t->pendingC2 = false;
    return 0;
}

// The streams stay open until the process ends and nothing closes them, so their state
// lives as long as the process rather than on the heap.
FILE* protectedStream(Terminal& terminal) {
    if (!isatty(terminal.fd)) return nullptr;
    cookie_io_functions_t io{nullptr, terminalWrite, nullptr, terminalClose};
    return fopencookie(&terminal, "w", io);
}

}  // namespace

std::string visibleControls(std::string_view text, bool& pendingC2) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (pendingC2) {
            pendingC2 = false;
            if (c >= 0x80 && c <= 0x9F) {
                out += format("\\u%04x", static_cast<unsigned>(c));
                continue;
            }
            out += '\xC2';
        }
        if (c == 0xC2) {
            pendingC2 = true;
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            out += format("\\x%02x", static_cast<unsigned>(c));
        } else {
            out += char(c);
        }
    }
    return out;
}

void drawStatusLine(const std::string& text) {
    std::fflush(stderr);
    writeAll(STDERR_FILENO, "\r");
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    writeAll(STDERR_FILENO, "\033[K");
}

void clearStatusLine() {
    std::fflush(stderr);
    writeAll(STDERR_FILENO, "\r\033[K");
}

void protectTerminal() {
    static Terminal outTerminal{STDOUT_FILENO}, errTerminal{STDERR_FILENO};
    if (FILE* out = protectedStream(outTerminal)) {
        setvbuf(out, nullptr, _IOLBF, 0);
        stdout = out;
    }
    if (FILE* err = protectedStream(errTerminal)) {
        setvbuf(err, nullptr, _IONBF, 0);
        stderr = err;
    }
}

}  // namespace zorvane::cli
