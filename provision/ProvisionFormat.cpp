#include "provision/ProvisionFormat.h"

#include "ledger/MacText.h"

namespace tessra::provision {

namespace {

// Steps that read back what they wrote.
bool readsBack(const std::string& step) {
    return step == "settings" || step == "mac" || step == "customer-code";
}

// The value is in the line where it is short; a block or a read stays in the JSON.
bool showsValue(const std::string& step) {
    return step == "mac" || step == "customer-code" || step == "wireless";
}

}  // namespace

std::string stepText(const StepReport& r) {
    std::string text = r.step;
    if (r.result == "failed") return text + " failed: " + r.detail;
    if (showsValue(r.step) && !r.value.empty()) text += " " + r.value;
    if (r.result == "written") text += readsBack(r.step) ? " written and verified" : " done";
    if (r.result == "unchanged")
        text += r.step == "find" || r.step == "read" ? " done" : " unchanged";
    if (r.result == "duplicate") text += " duplicate";
    if (!r.detail.empty()) text += " (" + r.detail + ")";
    return text;
}

QJsonObject stepJson(const StepReport& r) {
    QJsonObject object{{"step", QString::fromStdString(r.step)},
                       {"result", QString::fromStdString(r.result)},
                       {"ms", r.ms}};
    if (!r.value.empty()) object.insert("value", QString::fromStdString(r.value));
    if (!r.detail.empty()) object.insert("detail", QString::fromStdString(r.detail));
    return object;
}

std::string summaryText(const UnitSummary& s) {
    const std::string recipe = s.recipe.toStdString() + " " + s.hash.left(8).toStdString();
    if (s.exitCode == 0)
        return "provisioned " + ledger::macText(*s.mac).toStdString() + " (" + recipe + ")";
    return "not provisioned (" + recipe + "): " + s.message.toStdString();
}

QJsonObject summaryJson(const UnitSummary& s) {
    QJsonObject object{
        {"exitCode", s.exitCode},
        {"mac", s.mac ? QJsonValue(ledger::macText(*s.mac)) : QJsonValue()},
        {"customerCode", s.customerCode ? QJsonValue(*s.customerCode) : QJsonValue()},
        {"recipe", s.recipe},
        {"hash", s.hash}};
    if (!s.message.isEmpty()) object.insert("message", s.message);
    return object;
}

}  // namespace tessra::provision
