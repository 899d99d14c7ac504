// What a label names (the kind of an id) and which of its parts it shows. The words and
// number widths of each kind are the table in labels.cpp, in this order.
#pragma once

#include <cstddef>

namespace zorvane {

enum class LabelKind {
    Switch,
    Variable,
    Actor,
    Class,
    Weapon,
    Armor,
    Item,
    Skill,
    State,
    CommonEvent,
    Map,
    Troop,
    Enemy,
    Animation,
    Element,
    Tileset,
};
constexpr size_t kLabelKindCount = static_cast<size_t>(LabelKind::Tileset) + 1;

// The parts of a label: kind word, zero-padded number, brackets, stored name. The presets
// are the forms in use; a call site names the one it shows.
struct LabelStyle {
    bool kindWord = false;
    bool number = false;
    bool brackets = false;
    bool name = false;

    // スイッチ[0005:Door] / Switch [0005: Door]
    static constexpr LabelStyle full() { return {true, true, true, true}; }
    // [0005:Door]
    static constexpr LabelStyle numbered() { return {false, true, true, true}; }
    // [Door]
    static constexpr LabelStyle bracketedName() { return {false, false, true, true}; }
    // 0005:Door
    static constexpr LabelStyle numberAndName() { return {false, true, false, true}; }
    // Door
    static constexpr LabelStyle nameOnly() { return {false, false, false, true}; }
};

}  // namespace zorvane
