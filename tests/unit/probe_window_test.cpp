#include "tastrel/probe_window.h"

#include <gtest/gtest.h>

#include "common/win_api.h"
#include "fakes/fake_window_system.h"

namespace {

uintptr_t Command(uint32_t id, uint32_t notification) {
  return notification << 16 | id;
}

class ProbeWindowTest : public ::testing::Test {
 protected:
  FakeWindowSystem ui;

  void SetUp() override {
    ProbeDialog = nullptr;
    HotkeyAtom = 0;
  }
  void Click() { ui.script.push_back({WM_COMMAND, Command(1004, BN_CLICKED), 0}); }
};

TEST_F(ProbeWindowTest, BuildsTheWindowAndFourControlsInOrder) {
  EXPECT_EQ(RunProbeWindow(nullptr), 0);
  const std::vector<uint8_t>& t = ui.templates.at(0);
  EXPECT_EQ(t.at(8) | t.at(9) << 8 | t.at(10) << 16, 0x010100);
  EXPECT_EQ(t.at(12) | t.at(13) << 8 | t.at(14) << 16 | t.at(15) << 24, 0x84CB00D4);
  EXPECT_EQ(ui.windowText, "Tastrel");
  EXPECT_FALSE(ui.withheldActivate);

  const struct {
    uint16_t id;
    const char* className;
    int16_t x, y, cx, cy;
    uint32_t style, exStyle;
  } expected[] = {
      {1001, "STATIC", 6, 6, 216, 104, 0x50800000, 0x00020000},
      {1002, "msctls_hotkey32", 98, 122, 78, 12, 0x50000000, 0x00000200},
      {1003, "STATIC", 10, 122, 82, 12, 0x50000002, 0},
      {1004, "BUTTON", 98, 140, 64, 14, 0x50010000, 0},
  };
  ASSERT_EQ(ui.controls.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const ControlSpec& c = ui.controls[i];
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.id, expected[i].id);
    EXPECT_STREQ(c.className, expected[i].className);
    EXPECT_EQ(c.x, expected[i].x);
    EXPECT_EQ(c.y, expected[i].y);
    EXPECT_EQ(c.cx, expected[i].cx);
    EXPECT_EQ(c.cy, expected[i].cy);
    EXPECT_EQ(c.style, expected[i].style);
    EXPECT_EQ(c.exStyle, expected[i].exStyle);
  }
  EXPECT_STREQ(ui.controls[1].text, "msctls_hotkey321");
  EXPECT_STREQ(ui.controls[2].text, "Hotkey Eingabe-Feld -->");
  EXPECT_STREQ(ui.controls[3].text, "Hotkey aktivieren");
  EXPECT_EQ(ui.itemTexts.at(1001),
            "#1: In das Eingabe-Feld klicken\r\n"
            "#2: Einen Hotkey dr\xFC"
            "cken (STRG+F oder so)\r\n"
            "#3: Auf 'Hotkey aktivieren' klicken\r\n"
            "#4: Wenn keine Fehlermeldung erscheint die Zahl ins Config-File schreiben\r\n"
            "#5: Nochmal bei Schritt 1 Anfangen wenn dir langweilig ist\r\n");
  EXPECT_EQ(ProbeDialog, FakeWindowSystem::TheWindow());
}

TEST_F(ProbeWindowTest, AtomBeforeShowingAndReleasedOnDestroy) {
  ui.time = {12, 34, 56, 780};
  RunProbeWindow(nullptr);
  EXPECT_EQ(ui.log, (std::vector<std::string>{
                        "CreateDialog", "SetText", "CreateControl 1001", "CreateControl 1002",
                        "CreateControl 1003", "CreateControl 1004", "SetItemText 1001",
                        "EnableCallback", "AddGlobalAtom", "Show 5", "RunMessageLoop",
                        "UnregisterHotkey", "DeleteGlobalAtom", "DestroyWindow"}));
  EXPECT_EQ(ui.atomNames, (std::vector<std::string>{"My Hotkey 45296.78"}));
  EXPECT_EQ(ui.unregistered, (std::vector<int>{0xC123}));
  EXPECT_EQ(ui.deletedAtoms, (std::vector<uint16_t>{0xC123}));
}

TEST_F(ProbeWindowTest, RegistrationAttemptsFromTheFieldValue) {
  const struct {
    intptr_t fieldValue;
    bool accepted;
    uint32_t modifiers, keyCode;
    const char* box;
  } cases[] = {
      {0x0246, true, 2, 70, "Hotkey Wert = 582"},
      {0x0170, true, 4, 112, "Hotkey Wert = 1136"},
      {0x0A27, true, 2, 39, "Hotkey Wert = 551"},
      {0x0000, true, 0, 0, "Hotkey Wert = 0"},
      {0x7FFF0246, true, 2, 70, "Hotkey Wert = 582"},  // only the low 16 bits count
      {0x0246, false, 2, 70, "Hotkey bereits belegt!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    FakeWindowSystem caseUi;
    caseUi.fieldValue = c.fieldValue;
    caseUi.registrationSucceeds = c.accepted;
    caseUi.script.push_back({WM_COMMAND, Command(1004, BN_CLICKED), 0});
    RunProbeWindow(nullptr);
    ASSERT_EQ(caseUi.registrations.size(), 1u);
    EXPECT_EQ(caseUi.registrations[0].id, 0xC123);
    EXPECT_EQ(caseUi.registrations[0].modifiers, c.modifiers);
    EXPECT_EQ(caseUi.registrations[0].keyCode, c.keyCode);
    ASSERT_EQ(caseUi.boxes.size(), 1u);
    EXPECT_EQ(caseUi.boxes[0].text, c.box);
    EXPECT_EQ(caseUi.boxes[0].caption, "Tastrel");
    EXPECT_EQ(caseUi.boxes[0].style, 0x2000u);
  }
}

TEST_F(ProbeWindowTest, OnlyTheButtonsClickOrNotificationOneAttemptsARegistration) {
  const struct {
    uintptr_t wParam;
    size_t registrations;
  } cases[] = {
      {Command(1004, 0), 1}, {Command(1004, 1), 1},      {Command(1004, 2), 0},
      {Command(1004, 5), 0}, {Command(1002, 0), 0},      {Command(1, 0), 0},
      {Command(2, 0), 0},    {Command(1004, 0x8000), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wParam);
    FakeWindowSystem caseUi;
    caseUi.script.push_back({WM_COMMAND, c.wParam, 0});
    RunProbeWindow(nullptr);
    EXPECT_EQ(caseUi.registrations.size(), c.registrations);
  }
}

TEST_F(ProbeWindowTest, RegistrationsAccumulateAndEveryHotkeyIsConfirmed) {
  ui.fieldValue = 0x0246;
  Click();
  ui.script.push_back({WM_HOTKEY, 0xC123, 0});
  Click();
  ui.script.push_back({WM_HOTKEY, 0x1234, 0});  // whatever its identifier
  RunProbeWindow(nullptr);
  EXPECT_EQ(ui.registrations.size(), 2u);
  std::vector<std::string> texts;
  for (const ShownBox& box : ui.boxes) {
    texts.push_back(box.text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Hotkey Wert = 582", "Hotkey wurde erkannt!",
                                             "Hotkey Wert = 582", "Hotkey wurde erkannt!"}));
  EXPECT_EQ(ui.unregistered.size(), 1u);  // one release for all of them
}

TEST_F(ProbeWindowTest, WithoutAWindowTheRunReturnsAtOnce) {
  ui.failDialog = true;
  EXPECT_EQ(RunProbeWindow(nullptr), 0);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"CreateDialog"}));
  EXPECT_EQ(ProbeDialog, nullptr);
}

}  // namespace
