#include "sim/StateFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "sim/BlockText.h"

namespace tessra::sim {

namespace {

template <std::size_t N>
bool parseHexBytes(const std::vector<std::string>& words, std::array<std::uint8_t, N>& out) {
    if (words.size() != N) return false;
    for (std::size_t i = 0; i < N; ++i) {
        const std::string& w = words[i];
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value, 16);
        if (w.size() != 2 || ec != std::errc{} || end != w.data() + w.size()) return false;
        out[i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

bool parseNumber(const std::vector<std::string>& words, std::uint64_t max, std::uint64_t& out) {
    if (words.size() != 1) return false;
    const std::string& w = words[0];
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), out);
    return ec == std::errc{} && end == w.data() + w.size() && out <= max;
}

}  // namespace

std::string formatState(const PrinterState& state) {
    std::ostringstream text;
    text << "# tessra-printer-sim state\n"
         << "block " << hexBytes(state.block) << '\n'
         << "mac " << hexBytes(state.mac) << '\n'
         << "customer-code " << unsigned{state.customerCode} << '\n'
         << "wireless-mode " << unsigned{state.wirelessMode} << '\n'
         << "cuts " << state.cuts << '\n'
         << "prints " << state.prints << '\n';
    return text.str();
}

std::optional<PrinterState> parseState(std::string_view text, std::string* problem) {
    PrinterState state;
    std::map<std::string, int> seen;
    std::istringstream lines{std::string(text)};
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        if (problem) *problem = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key.starts_with('#')) continue;
        std::vector<std::string> values;
        for (std::string w; words >> w;) values.push_back(w);
        if (++seen[key] > 1) return fail("\"" + key + "\" given twice");
        std::uint64_t n = 0;
        if (key == "block") {
            if (!parseHexBytes(values, state.block)) return fail("block needs 4 hex bytes");
            if (!blockSpeed(state.block)) return fail("block names no line speed");
        } else if (key == "mac") {
            if (!parseHexBytes(values, state.mac)) return fail("mac needs 6 hex bytes");
        } else if (key == "customer-code") {
            if (!parseNumber(values, 255, n) || n == 0) return fail("customer-code must be 1-255");
            state.customerCode = static_cast<std::uint8_t>(n);
        } else if (key == "wireless-mode") {
            if (!parseNumber(values, 3, n)) return fail("wireless-mode must be 0-3");
            state.wirelessMode = static_cast<std::uint8_t>(n);
        } else if (key == "cuts" || key == "prints") {
            if (!parseNumber(values, UINT64_MAX, n)) return fail(key + " must be a count");
            (key == "cuts" ? state.cuts : state.prints) = n;
        } else {
            return fail("unknown key \"" + key + "\"");
        }
    }
    for (const char* key : {"block", "mac", "customer-code", "wireless-mode", "cuts", "prints"}) {
        if (!seen.contains(key)) {
            if (problem) *problem = std::string("\"") + key + "\" missing";
            return std::nullopt;
        }
    }
    return state;
}

LoadedState loadStateFile(const std::string& path) {
    LoadedState loaded;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code ec;
        loaded.missing = !std::filesystem::exists(path, ec);
        loaded.problem = "state file " + path +
                         (loaded.missing ? " does not exist yet" : " cannot be read") +
                         "; starting with the defaults";
        return loaded;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::string why;
    if (const auto state = parseState(content.str(), &why)) {
        loaded.state = *state;
    } else {
        loaded.problem =
            "state file " + path + " is damaged (" + why + "); starting with the defaults";
    }
    return loaded;
}

bool saveStateFile(const std::string& path, const PrinterState& state, std::string* problem) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << formatState(state);
        out.flush();
        if (!out) {
            if (problem) *problem = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (problem) *problem = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tessra::sim
