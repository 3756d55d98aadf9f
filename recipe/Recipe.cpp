#include "recipe/Recipe.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

#include "commands/ButtonTables.h"
#include "identity/CustomerCodeValue.h"
#include "link/QuotedText.h"
#include "recipe/TextFile.h"
#include "settings/OptionNames.h"
#include "settings/SettingsFile.h"

namespace tessra::recipe {

namespace {

// Text from the recipe as a message may quote it: cut and escaped.
QString quoted(const QString& text) {
    return QString::fromStdString(quotedInput(text.toStdString()));
}

enum class Key { Name, Settings, MacRange, CustomerCode, Wireless, Receipt, FactoryMac };

struct KeySpec {
    Key key;
    const char* text;
    bool required;
    bool repeatable = false;
};

constexpr std::array<KeySpec, 7> kKeys{{
    {Key::Name, "name", true},
    {Key::Settings, "settings", true},
    {Key::MacRange, "mac-range", true},
    {Key::CustomerCode, "customer-code", true},
    {Key::Wireless, "wireless", false},
    {Key::Receipt, "receipt", false},
    {Key::FactoryMac, "factory-mac", false, true},
}};

// Only a mode of the wireless column: any other command (a firmware
// recovery, a test print) has no place in every unit's run.
bool wirelessMode(const QString& name) {
    return std::ranges::any_of(commands::kWirelessColumn, [&](const commands::WirelessButton& b) {
        return name == QLatin1StringView(b.name.data(), qsizetype(b.name.size()));
    });
}

QString wirelessModes() {
    QStringList names;
    for (const commands::WirelessButton& b : commands::kWirelessColumn)
        names << QLatin1StringView(b.name.data(), qsizetype(b.name.size()));
    return names.join(QStringLiteral(", "));
}

QString keyList() {
    QStringList names;
    for (const KeySpec& k : kKeys) names << QLatin1StringView(k.text);
    return names.join(QStringLiteral(", "));
}

// A name that fits on a receipt line and in a CSV field without quoting.
bool plainName(const QString& text) {
    if (text.isEmpty() || text.size() > 64) return false;
    for (QChar c : text) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_' && c != u'.') return false;
    }
    return true;
}

class Reader {
public:
    explicit Reader(QString path) : path_(std::move(path)) {}

    // False with error_ set at the first fault.
    bool line(int number, QString content) {
        if (const qsizetype hash = content.indexOf(u'#'); hash >= 0) content.truncate(hash);
        content = content.trimmed();
        if (content.isEmpty()) return true;
        const qsizetype equals = content.indexOf(u'=');
        if (equals < 0)
            return fail(number,
                        QStringLiteral("expected \"key = value\", a comment starting with # "
                                       "or a blank line"));
        const QString key = content.left(equals).trimmed().toLower();
        const QString value = content.mid(equals + 1).trimmed();
        for (const KeySpec& k : kKeys) {
            if (key != QLatin1StringView(k.text)) continue;
            int& given = givenOn_[static_cast<std::size_t>(k.key)];
            if (given != 0 && !k.repeatable)
                return fail(number, QStringLiteral("%1 is given again (first on line %2)")
                                        .arg(quoted(key))
                                        .arg(given));
            given = number;
            return take(number, k.key, value);
        }
        return fail(
            number,
            QStringLiteral("unknown key \"%1\"; valid keys: %2").arg(quoted(key), keyList()));
    }

    bool complete(int lastLine) {
        QStringList missing;
        for (const KeySpec& k : kKeys) {
            if (k.required && givenOn_[static_cast<std::size_t>(k.key)] == 0)
                missing << QLatin1StringView(k.text);
        }
        if (missing.isEmpty()) return true;
        return fail(lastLine, QStringLiteral("missing keys: %1").arg(missing.join(u',')));
    }

    bool fail(int number, const QString& message) {
        error = QStringLiteral("%1:%2: %3").arg(path_).arg(number).arg(message);
        return false;
    }

    Recipe recipe;
    QString error;
    int settingsLine = 0;

private:
    bool take(int number, Key key, const QString& value) {
        switch (key) {
            case Key::Name:
                if (!plainName(value))
                    return fail(number, QStringLiteral("name must be 1 to 64 letters, digits, "
                                                       "'-', '_' or '.'"));
                recipe.name = value;
                return true;
            case Key::Settings:
                if (value.isEmpty()) return fail(number, QStringLiteral("settings names no file"));
                recipe.settingsPath =
                    QDir::cleanPath(QFileInfo(path_).absoluteDir().absoluteFilePath(value));
                settingsLine = number;
                return true;
            case Key::MacRange: {
                const auto range = ledger::parseMacRange(value);
                if (!range || range->first < ledger::kDefaultRange.first ||
                    range->last > ledger::kDefaultRange.last)
                    return fail(number, QStringLiteral("mac-range must be FIRST-LAST within %1-%2, "
                                                       "FIRST not above LAST")
                                            .arg(ledger::macText(ledger::kDefaultRange.first),
                                                 ledger::macText(ledger::kDefaultRange.last)));
                recipe.macRange = *range;
                return true;
            }
            case Key::CustomerCode: {
                const auto code = identity::customerCodeFromText(value.toStdString());
                if (!code) return fail(number, QStringLiteral("customer-code must be 1 to 255"));
                recipe.customerCode = *code;
                return true;
            }
            case Key::Wireless:
                if (!wirelessMode(value))
                    return fail(number, QStringLiteral("wireless must name a wireless mode: %1")
                                            .arg(wirelessModes()));
                recipe.wireless = value;
                return true;
            case Key::FactoryMac:
                for (const QString& part : value.split(u',')) {
                    const auto mac = ledger::parseMac(part);
                    if (!mac)
                        return fail(number,
                                    QStringLiteral("factory-mac must be addresses such "
                                                   "as 0A:5C:3E:00:00:01, comma-separated"));
                    if (!recipe.factoryMacs.contains(*mac)) recipe.factoryMacs << *mac;
                }
                std::ranges::sort(recipe.factoryMacs);
                return true;
            case Key::Receipt:
                if (value != u"yes" && value != u"no")
                    return fail(number, QStringLiteral("receipt must be yes or no"));
                recipe.receipt = value == u"yes";
                return true;
        }
        return false;
    }

    QString path_;
    std::array<int, kKeys.size()> givenOn_{};
};

}  // namespace

QString canonicalRecipe(const Recipe& r) {
    // A recipe without factory addresses keeps the hash it had before they
    // could be given.
    QStringList factory;
    for (ledger::Mac mac : r.factoryMacs) factory << ledger::macText(mac);
    return QStringLiteral(
               "%1\nname = %2\nsettings-block = %3\nmac-range = %4-%5\ncustomer-code = "
               "%6\nwireless = %7\nreceipt = %8\n")
               .arg(QLatin1StringView(kRecipeVersionLine), r.name,
                    QString::fromStdString(settings::blockHex(r.block)),
                    ledger::macText(r.macRange.first), ledger::macText(r.macRange.last),
                    QString::number(r.customerCode), r.wireless,
                    r.receipt ? QStringLiteral("yes") : QStringLiteral("no")) +
           (factory.isEmpty() ? QString()
                              : QStringLiteral("factory-mac = %1\n").arg(factory.join(u',')));
}

RecipeResult parseRecipe(std::string_view text, const QString& path) {
    RecipeResult result;
    const QStringList lines = QString::fromUtf8(text.data(), qsizetype(text.size())).split(u'\n');
    Reader reader(path);
    QString first = lines.front().trimmed();
    if (first.startsWith(QChar(0xFEFF))) first.remove(0, 1);
    if (first != QLatin1StringView(kRecipeVersionLine)) {
        reader.fail(1, QStringLiteral("not a recipe of this version: the first line must be \"%1\"")
                           .arg(QLatin1StringView(kRecipeVersionLine)));
        result.error = reader.error;
        return result;
    }
    int number = 1;
    for (; number < lines.size(); ++number) {
        if (!reader.line(number + 1, lines[number])) break;
    }
    if (!reader.error.isEmpty() || !reader.complete(int(lines.size()))) {
        result.error = reader.error;
        return result;
    }

    QString why;
    const auto settingsText = readTextFile(reader.recipe.settingsPath, why);
    if (!settingsText) {
        reader.fail(reader.settingsLine, QStringLiteral("cannot read the settings file %1: %2")
                                             .arg(quoted(reader.recipe.settingsPath), why));
        result.error = reader.error;
        return result;
    }
    const settings::SettingsFileResult parsed = settings::parseSettingsFile(*settingsText);
    if (parsed.error) {
        result.error = QStringLiteral("%1:%2: %3")
                           .arg(quoted(reader.recipe.settingsPath))
                           .arg(parsed.error->line)
                           .arg(QString::fromStdString(parsed.error->message));
        return result;
    }
    for (const std::string& note : parsed.notes)
        result.notes << quoted(reader.recipe.settingsPath) + QStringLiteral(": ") +
                            QString::fromStdString(note);
    Recipe recipe = reader.recipe;
    recipe.block = parsed.block;
    recipe.canonical = canonicalRecipe(recipe);
    recipe.hash = QString::fromLatin1(
        QCryptographicHash::hash(recipe.canonical.toUtf8(), QCryptographicHash::Sha256).toHex());
    result.recipe = std::move(recipe);
    return result;
}

RecipeResult loadRecipe(const QString& path) {
    QString why;
    const auto text = readTextFile(path, why);
    if (!text) {
        RecipeResult result;
        result.error = QStringLiteral("%1: cannot read the recipe: %2").arg(path, why);
        return result;
    }
    return parseRecipe(*text, path);
}

}  // namespace tessra::recipe
