#pragma once

#include <array>
#include <span>
#include <string_view>

#include "models/ControlSurface.h"

namespace tessra::models {

enum class Model { Orrin = 0, Velda = 1 };

inline constexpr std::array<std::string_view, 2> kModelCaptions{"Orrin", "Velda"};

struct Assignment {
    enum class Kind { Caption, Visible, Enabled };
    std::string_view control;
    Kind kind;
    std::string_view caption;  // for Caption
    bool flag;                 // for Visible and Enabled
};

namespace detail {
using K = Assignment::Kind;
constexpr Assignment cap(std::string_view c, std::string_view t) {
    return {c, K::Caption, t, false};
}
constexpr Assignment show(std::string_view c) {
    return {c, K::Visible, {}, true};
}
constexpr Assignment hide(std::string_view c) {
    return {c, K::Visible, {}, false};
}
constexpr Assignment enable(std::string_view c) {
    return {c, K::Enabled, {}, true};
}

#define TESSRA_MAC_CONTROLS_ENABLED                                                   \
    enable("Command12"), enable("Command13"), enable("VScroll1"), enable("VScroll2"), \
        enable("VScroll3"), enable("Label4"), enable("Check1")

inline constexpr auto kOrrin = std::to_array<Assignment>({
    show("Frame10"),
    show("Frame8"),
    cap("Opt_PrintSpeed_0", "Lv1 [250mm/s]"),
    cap("Opt_PrintSpeed_1", "Lv2 [230mm/s]"),
    cap("Opt_PrintSpeed_2", "Lv3 [210mm/s]"),
    cap("Opt_PrintSpeed_3", "Lv4 [190mm/s]"),
    cap("Opt_PrintSpeed_4", "Lv5 [170mm/s]"),
    show("Opt_PrintSpeed_0"),
    show("Opt_PrintSpeed_1"),
    show("Opt_PrintSpeed_2"),
    show("Opt_PrintSpeed_3"),
    show("Opt_PrintSpeed_4"),
    cap("Opt_PaperType_0", "TF50KS-E2D"),
    cap("Opt_PaperType_1", "TF60KS-E"),
    cap("Opt_PaperType_2", "P220VBB-1"),
    cap("Opt_PaperType_3", "PD160R"),
    cap("Opt_PaperType_4", "PD160R-63"),
    cap("Opt_PaperType_5", "KT48FA"),
    cap("Opt_PaperType_6", "Alpha400-2.1"),
    show("Opt_PaperType_0"),
    show("Opt_PaperType_1"),
    show("Opt_PaperType_2"),
    show("Opt_PaperType_3"),
    show("Opt_PaperType_4"),
    show("Opt_PaperType_5"),
    show("Opt_PaperType_6"),
    TESSRA_MAC_CONTROLS_ENABLED,
    cap("Command17", "ESP32 WiFi Soft AP"),
    cap("Command18", "ESP32 WiFi Station"),
    cap("Command19", "ESP32 Bluetooth Classic"),
    cap("Command21", "ESP32 Bluetooth Classic+BLE"),
    show("Command17"),
    show("Command18"),
    show("Command19"),
    show("Command21"),
    show("Frame14"),
    show("Frame15"),
    show("Frame16"),
});

// The WizFi250 module has no Bluetooth mode, so both Bluetooth buttons go.
inline constexpr auto kVelda = std::to_array<Assignment>({
    show("Frame10"),
    show("Frame8"),
    cap("Opt_PrintSpeed_0", "Low Power"),
    cap("Opt_PrintSpeed_1", "Normal"),
    cap("Opt_PrintSpeed_2", "Slightly"),
    cap("Opt_PrintSpeed_3", "Dark"),
    cap("Opt_PrintSpeed_4", "High Speed"),
    show("Opt_PrintSpeed_0"),
    show("Opt_PrintSpeed_1"),
    show("Opt_PrintSpeed_2"),
    show("Opt_PrintSpeed_3"),
    show("Opt_PrintSpeed_4"),
    cap("Opt_PaperType_0", "TF50KS-E2D"),
    cap("Opt_PaperType_1", "TP50KJ-R"),
    cap("Opt_PaperType_2", "PD160R-63"),
    cap("Opt_PaperType_3", "PD160R-N"),
    cap("Opt_PaperType_4", "P220VBB-1"),
    cap("Opt_PaperType_5", "KT55F20"),
    show("Opt_PaperType_0"),
    show("Opt_PaperType_1"),
    show("Opt_PaperType_2"),
    show("Opt_PaperType_3"),
    show("Opt_PaperType_4"),
    show("Opt_PaperType_5"),
    hide("Opt_PaperType_6"),
    TESSRA_MAC_CONTROLS_ENABLED,
    cap("Command17", "WizFi250 (Soft AP)"),
    cap("Command18", "WizFi250 (Station)"),
    cap("Command19", ""),
    show("Command17"),
    show("Command18"),
    hide("Command19"),
    hide("Command21"),
    hide("Frame14"),
    hide("Frame15"),
    show("Frame16"),
});
#undef TESSRA_MAC_CONTROLS_ENABLED
}  // namespace detail

constexpr std::span<const Assignment> profile(Model model) {
    return model == Model::Orrin ? std::span<const Assignment>(detail::kOrrin)
                                 : std::span<const Assignment>(detail::kVelda);
}

// Opt_PRT_MODEL_Click: index 0 applies Orrin, 1 Velda, anything else nothing.
void applyProfile(ControlSurface& surface, int modelIndex);

}  // namespace tessra::models
