#include "link/ProgramUsage.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <vector>

namespace tessra {

std::string seeAlso(std::string_view self) {
    std::vector<std::string> others;
    for (const std::string_view name : kProgramNames)
        if (name != self) others.push_back(std::string(name) + "(1)");
    std::string text;
    for (std::size_t i = 0; i < others.size(); ++i)
        text += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + others[i];
    return text;
}

namespace {

// Edits between two words, a swap of two neighbours counting as one: "prot" is one from "port".
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

std::string_view withoutDashes(std::string_view name) {
    while (name.starts_with('-')) name.remove_prefix(1);
    return name;
}

}  // namespace

std::string_view nearestName(std::string_view typed, std::span<const std::string_view> names) {
    const std::string_view word = withoutDashes(typed);
    if (word.empty() || word.size() > 40) return {};
    std::string_view best;
    std::size_t bestDistance = std::max<std::size_t>(1, word.size() / 3) + 1;
    std::size_t prefixes = 0;
    std::string_view prefixOf;
    for (const std::string_view name : names) {
        const std::string_view bare = withoutDashes(name);
        if (word.size() >= 2 && bare.starts_with(word)) {
            ++prefixes;
            prefixOf = name;
        }
        if (const std::size_t distance = editDistance(word, bare); distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    if (!best.empty()) return best;
    return prefixes == 1 ? prefixOf : std::string_view{};
}

std::string didYouMean(std::string_view typed, std::span<const std::string_view> names) {
    const std::string_view nearest = nearestName(typed, names);
    return nearest.empty() ? std::string() : "; did you mean " + std::string(nearest) + "?";
}

std::string optionUsage(const OptionUsage& option) {
    std::string usage(option.name);
    if (!option.value.empty()) usage += " " + std::string(option.value);
    return usage;
}

std::string fullText(std::string_view summary, std::string_view details) {
    std::string text(summary);
    if (details.empty()) return text;
    if (text.ends_with('.'))
        text += " ";
    else if (details[0] == '`' || (details[0] >= 'a' && details[0] <= 'z'))
        text += ", ";
    else
        text += ". ";
    return text + std::string(details);
}

std::string plainText(std::string_view text) {
    std::string out(text);
    std::erase(out, '`');
    return out;
}

namespace {

constexpr std::size_t kHelpWidth = 79;
constexpr std::size_t kHelpColumn = 28;

// Words filled into lines of at most kHelpWidth, the first after `first`, the
// others after `indent` blanks.
std::string filled(std::string first, std::string_view text, std::size_t indent) {
    std::string out;
    std::string line = std::move(first);
    bool blankFirst = !line.empty();
    bool anyWord = false;
    while (!text.empty()) {
        const auto blank = text.find(' ');
        const std::string_view word = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
        if (word.empty()) continue;
        if (anyWord && line.size() + 1 + word.size() > kHelpWidth) {
            out += line + "\n";
            line = std::string(indent, ' ');
            blankFirst = false;
        }
        line += (blankFirst ? " " : "") + std::string(word);
        blankFirst = anyWord = true;
    }
    return out + line + "\n";
}

}  // namespace

std::string helpLine(std::string usage, std::string_view description) {
    usage = "  " + usage;
    if (usage.size() + 2 > kHelpColumn)
        return usage + "\n" + filled(std::string(kHelpColumn - 1, ' '), description, kHelpColumn);
    usage.resize(kHelpColumn - 1, ' ');
    return filled(usage, description, kHelpColumn);
}

std::string helpText(const ProgramUsage& program, std::string_view middle) {
    std::string text =
        filled("Usage: " + std::string(program.name), program.synopsis, 7) + "\n" +
        filled("", plainText(program.description.substr(0, program.description.find("\n\n"))), 0) +
        "\nOptions:\n";
    for (const OptionUsage& o : program.options)
        text += helpLine(optionUsage(o), plainText(o.summary));
    text += middle;
    if (!program.exits.empty()) text += "\nExit codes:\n";
    for (const ExitUsage& e : program.exits)
        text += filled("  " + std::to_string(e.code) + " ", plainText(e.summary), 5);
    if (!program.environment.empty()) text += "\nEnvironment:\n";
    for (const VariableUsage& v : program.environment)
        text += helpLine(std::string(v.name), plainText(v.summary));
    return text + "\n" +
           filled("See also:",
                  seeAlso(program.name) + ", and /usr/share/doc/tessra-printer-utility/README.md.",
                  2);
}

std::string versionText(const ProgramUsage& program) {
    return std::string(program.name) + " " TESSRA_VERSION "\n";
}

bool answeredInfoOption(int argc, char** argv, const ProgramUsage& program, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            out << helpText(program);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            out << versionText(program);
            return true;
        }
    }
    return false;
}

}  // namespace tessra
