// Operand texts and helpers shared by every formatter family: labels in their usual forms,
// character and battler names, direction names, operand values, the short-array rule.
#pragma once

#include <string>

#include "listing/listing.h"
#include "listing/listing_words.h"
#include "platform/string_util.h"
#include "project/labels.h"

namespace zorvane {

// The phrase in the listing's language.
inline const char* say(const char* japanese, const ListingOptions& o) {
    return say(japanese, o.language);
}

// LabelStyle::full()
std::string fullLabel(int id, LabelKind kind, const ListingOptions& o);
// full() with detail, else bracketedName()
std::string detailLabel(int id, LabelKind kind, const ListingOptions& o);
// LabelStyle::numbered()
std::string numberedLabel(int id, LabelKind kind, const ListingOptions& o);
// full() with detail, else numbered(): the number always, the kind word only with detail
std::string kindIfDetailLabel(int id, LabelKind kind, const ListingOptions& o);
// LabelStyle::nameOnly(), "" without a project
std::string nameOnlyLabel(int id, LabelKind kind, const ListingOptions& o);
// troopMemberLabel of the owner troop (troop 0 unless the owner is a troop), the enemy in
// full with detail
std::string troopMemberText(int memberIndex, const ListingOptions& o);

std::string characterName(int id, const ListingOptions& o);
// 2 下, 4 左, 6 右, 8 上, 11..18 A B C X Y Z L R; "" otherwise
std::string directionName(int value, ListingLanguage language);
// "+"/"-" then "%d" of value (type 0) or the full label of variable value (type 1)
std::string operandValue(int operation, int operandType, int value, const ListingOptions& o);
std::string actorOperand(int id, const ListingOptions& o);
std::string enemyOperand(int memberIndex, const ListingOptions& o);
std::string battlerOperand(int side, int index, const ListingOptions& o);

// The short-array rule: a formatter that needs n parameters prints nothing when fewer exist.
inline bool needs(const ParamView& p, size_t n) {
    return p.size() >= n;
}

// "ON" for 0, "OFF" otherwise (the same in both languages).
std::string switchValue(int value);
// Tone or colour of a Tone/Color node with a duration: detail
// "(Red:%.0f,Green:%.0f,Blue:%.0f,Gray:%.0f),時間:%dフレーム", short "(%.0f,%.0f,%.0f,%.0f),@%d".
std::string toneText(const MarshalValue& tone, int duration, const ListingOptions& o);
std::string colorText(const MarshalValue& color, int duration, const ListingOptions& o);
// "'" + name + "'" + detail ",ボリューム:%d,ピッチ:%d" / short ",%d,%d" of an RPG::AudioFile.
std::string audioText(const MarshalValue& audio, const ListingOptions& o);
// The name of the RPG::AudioFile node ("" when it is not one).
std::string audioName(const MarshalValue& audio);

// Move speed 1..6: detail "1:Slowest" .. "6:Fastest", short "1" .. "6"; "" otherwise.
std::string speedName(int value, const ListingOptions& o);
// Move frequency 1..6: detail "1:Lowest" .. "6:Highest", short "1" .. "6"; "" otherwise.
std::string frequencyName(int value, const ListingOptions& o);
// Blend type 0..2: "通常", "加算", "減算"; "" otherwise.
std::string blendName(int value, ListingLanguage language);


}  // namespace zorvane
