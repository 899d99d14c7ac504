// Every command formatter of the command table, grouped by the file that defines it. A
// formatter appends a command's parameter text (see Formatter in listing.h); one formatter
// serves every row that prints alike.
#pragma once

#include <string>

#include "listing/listing.h"

namespace zorvane {

// The function type of a Formatter (listing.h); each name below declares one function.
using FormatterFunction = void(std::string& out, const ParamView& p, const ListingOptions& o);

// --- messages, flow and game state: formatters_messages_flow.cpp -------------------------
FormatterFunction fmtEmpty;              // code 0 and every row that prints nothing
FormatterFunction fmtShowText;           // 101, 401
FormatterFunction fmtShowChoices;        // 102
FormatterFunction fmtWhenChoice;         // 402
FormatterFunction fmtInputNumber;        // 103
FormatterFunction fmtChangeTextOptions;  // 104
FormatterFunction fmtButtonInput;        // 105
FormatterFunction fmtWait;               // 106
FormatterFunction fmtComment;            // 108, 408
FormatterFunction fmtConditionalBranch;  // 111
FormatterFunction fmtCallCommonEvent;    // 117
FormatterFunction fmtLabel;              // 118, 119
FormatterFunction fmtControlSwitches;    // 121
FormatterFunction fmtControlVariables;   // 122
FormatterFunction fmtControlSelfSwitch;  // 123
FormatterFunction fmtControlTimer;       // 124
FormatterFunction fmtChangeGold;         // 125
FormatterFunction fmtChangeItems;        // 126
FormatterFunction fmtChangeWeapons;      // 127
FormatterFunction fmtChangeArmor;        // 128
FormatterFunction fmtChangePartyMember;  // 129
FormatterFunction fmtChangeWindowskin;   // 131
FormatterFunction fmtChangePermission;   // 134, 135, 136
// The one audio formatter; also serves the audio rows of the map family.
FormatterFunction fmtPlayAudio;  // 132, 133, 241, 245, 249, 250

// --- move route: formatters_move_route.cpp ------------------------------------------------
FormatterFunction fmtSetMoveRoute;  // 209
FormatterFunction fmtMoveCommand;   // 509

// --- map, screen, pictures and audio: formatters_map_screen.cpp ---------------------------
FormatterFunction fmtTransferPlayer;         // 201
FormatterFunction fmtSetEventLocation;       // 202
FormatterFunction fmtScrollMap;              // 203
FormatterFunction fmtChangeMapSettings;      // 204
FormatterFunction fmtChangeTone;             // 205, 223
FormatterFunction fmtChangeFogOpacity;       // 206
FormatterFunction fmtShowAnimation;          // 207
FormatterFunction fmtChangeTransparentFlag;  // 208
FormatterFunction fmtExecuteTransition;      // 222
FormatterFunction fmtScreenFlash;            // 224
FormatterFunction fmtScreenShake;            // 225
FormatterFunction fmtShowPicture;            // 231
FormatterFunction fmtMovePicture;            // 232
FormatterFunction fmtRotatePicture;          // 233
FormatterFunction fmtChangePictureTone;      // 234
FormatterFunction fmtErasePicture;           // 235
FormatterFunction fmtSetWeatherEffects;      // 236
FormatterFunction fmtFadeOutAudio;           // 242, 246

// --- battle, actors and system: formatters_battle_system.cpp ------------------------------
FormatterFunction fmtBattleProcessing;     // 301
FormatterFunction fmtShopProcessing;       // 302, 605
FormatterFunction fmtNameInputProcessing;  // 303
FormatterFunction fmtChangeHp;             // 311
FormatterFunction fmtChangeActorValue;     // 312, 315, 316
FormatterFunction fmtChangeState;          // 313
FormatterFunction fmtRecoverAll;           // 314
FormatterFunction fmtChangeParameters;     // 317
FormatterFunction fmtChangeSkills;         // 318
FormatterFunction fmtChangeEquipment;      // 319
FormatterFunction fmtChangeActorName;      // 320
FormatterFunction fmtChangeActorClass;     // 321
FormatterFunction fmtChangeActorGraphic;   // 322
FormatterFunction fmtChangeEnemyHp;        // 331
FormatterFunction fmtChangeEnemySp;        // 332
FormatterFunction fmtChangeEnemyState;     // 333
FormatterFunction fmtEnemyRecoverAll;      // 334
FormatterFunction fmtEnemyAppearance;      // 335
FormatterFunction fmtEnemyTransform;       // 336
FormatterFunction fmtShowBattleAnimation;  // 337
FormatterFunction fmtDealDamage;           // 338
FormatterFunction fmtForceAction;          // 339
FormatterFunction fmtScript;               // 355, 655

}  // namespace zorvane
