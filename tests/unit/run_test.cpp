// Whole runs of the mute tool with what only a fake window system can provoke: the window, its
// label or the hotkey's atom refused, a session end cancelled or not, a press while an error box
// is open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_api.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_system.h"
#include "tacetto/main.h"
#include "tacetto/volume_window.h"

namespace {

constexpr const char* kConfig = "1\r\n1\r\n582\r\n80\r\n1\r\n0\r\n";
constexpr uint32_t k80 = 52428;  // 80 % as the mixer's level
const ScriptedMessage kPress = {WM_HOTKEY, 0, 0};
const char* const kMuted = "Mikrofon/Line-Volume: 0%";

TEST(RunTacetto, RefusalsAndSessionEnds) {
  const struct {
    const char* name;
    bool failDialog, failControls;
    uint16_t atom;
    std::vector<ScriptedMessage> script;
    std::vector<uint32_t> atClose, atEnd;  // the levels written when the window goes, at the end
    const char* label;                     // nullptr: the label was never created
  } cases[] = {
      // clang-format off
      {"no window", true, false, 0xC001, {}, {}, {k80, k80}, nullptr},
      {"no label", false, true, 0xC001, {kPress}, {k80, 0}, {k80, 0, k80}, nullptr},
      {"no atom", false, false, 0, {kPress}, {k80, 0}, {k80, 0, k80}, kMuted},
      {"session end cancelled", false, false, 0xC001, {kPress, {WM_ENDSESSION, 0, 0}},
       {k80, 0}, {k80, 0, k80}, kMuted},
      {"session end restores once", false, false, 0xC001,
       {kPress, {WM_ENDSESSION, 1, 0}, {WM_ENDSESSION, 1, 0}}, {k80, 0, k80}, {k80, 0, k80}, kMuted},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindowSystem ui;
    FakeTacettoPlatform platform;
    platform.file.content = kConfig;
    ui.failDialog = c.failDialog;
    ui.failControls = c.failControls;
    ui.nextAtom = c.atom;
    ui.script = c.script;
    std::vector<uint32_t> atClose;
    ui.onClose = [&] { atClose = platform.mixer.written; };
    EXPECT_EQ(RunTacetto(), 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(atClose, c.atClose);
    EXPECT_EQ(platform.mixer.written, c.atEnd);
    // A lock key press and release and a keyboard table per level written, and the table saved
    // at start put back once.
    EXPECT_EQ(size_t(platform.keyboard.strokes), 2 * c.atEnd.size());
    EXPECT_EQ(size_t(platform.keyboard.stateWrites), c.atEnd.size() + 1);
    EXPECT_EQ(ui.unregistered, c.failDialog ? std::vector<int>{} : std::vector<int>{c.atom});
    EXPECT_EQ(ui.itemTexts.count(kVolumeLabelId) ? ui.itemTexts[kVolumeLabelId] : "(none)",
              c.label ? c.label : "(none)");
  }
}

TEST(RunTacetto, APressWhileAnErrorBoxIsOpenRunsNestedAndTheFailedPressShowsLast) {
  FakeWindowSystem ui;
  FakeTacettoPlatform platform;
  platform.file.content = kConfig;
  platform.mixer.writeFailCode = 5;
  platform.mixer.writeFailSession = 2;  // the first press
  std::vector<std::string> labels;
  ui.onMessageBox = [&](const ShownBox&) {
    ui.Deliver(WM_HOTKEY);  // the box's own loop dispatches the second press
    labels.push_back(ui.itemTexts.at(kVolumeLabelId));
  };
  ui.script = {kPress};
  EXPECT_EQ(RunTacetto(), 0);
  EXPECT_EQ(labels, std::vector<std::string>{kMuted});
  EXPECT_EQ(ui.itemTexts.at(kVolumeLabelId), "Mikrofon/Line-Volume: -1%");
  EXPECT_EQ(platform.mixer.written, (std::vector<uint32_t>{k80, 0, k80}));  // the exit restores
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "error #5 calling mixersetcontroldetails()");
}

}  // namespace
