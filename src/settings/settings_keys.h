// Sections and keys of Tarvix.ini.
#pragma once

constexpr char kSectionTemp[] = "Temp";
constexpr char kKeyMeasure[] = "Meas";
constexpr char kKeyBeat[] = "Beat";
constexpr char kKeyTick[] = "Tick";

constexpr char kSectionMainWindow[] = "MainWindow";
constexpr char kKeyPlacement[] = "DlgInfo";

constexpr char kSectionItemTime[] = "ItemTime";
constexpr char kSectionItemComment[] = "ItemComment";

// Defaults of the hand-over position when the file holds none.
constexpr int kDefaultMeasure = 1;
constexpr int kDefaultBeat = 1;
constexpr int kDefaultTick = 0;
