#include "cli/Password.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace tessra::cli {

std::optional<std::string> passwordFromEnvironmentOrTerminal(std::string_view prompt) {
    if (const char* given = std::getenv(kPasswordVariable)) return std::string(given);
    if (!::isatty(STDIN_FILENO)) return std::nullopt;

    termios saved{};
    const bool canHide = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::cerr << prompt << std::flush;
    std::string typed;
    const bool read = static_cast<bool>(std::getline(std::cin, typed));
    if (canHide) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << '\n';
    if (!read) return std::nullopt;
    return typed;
}

}  // namespace tessra::cli
