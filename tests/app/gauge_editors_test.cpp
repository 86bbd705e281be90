#include "app/gauge_editors.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace mv {
namespace {

// A gauge list with "Калибр" (#1) and "Микрометр" (#2, 0..25 мм).
struct Gauges {
  Gauges() {
    EXPECT_TRUE(list.AddNew());
    list.Item(1)->name = "Калибр";
    EXPECT_TRUE(list.AddNew());
    TGage& m = *list.Item(2);
    m.name = "Микрометр";
    m.unit = "мм";
    m.range.Set(0, 0.0, 25.0, std::nullopt);
  }
  test::FakePlatform fake;
  TGageSet list;
};

TEST(CheckGageForm, RefusalsInTheEditorsOrder) {
  Gauges g;
  struct Case {
    GageForm form;
    int position;
    const char* message;
  };
  const Case cases[] = {
      {{.name = "  "}, 0, "Укажите название для списка"},
      {{.name = " КАЛИБР "}, 0, "Такое название уже имеет одно из средств измерения (#1) - Калибр"},
      {{.name = "калибр"}, 2, "Такое название уже имеет одно из средств измерения (#1) - Калибр"},
      {{.name = "Калибр"}, 1, ""},  // its own name
      {{.name = "Щуп", .minimum = "5", .maximum = "5"}, 0,
       "Максимальный предел измерения должен быть больше минимального"},
      {{.name = "Щуп", .minimum = "5"}, 0, ""},
      {{.name = "Щуп", .maximum = "-5"}, 0, ""},
      {{.name = "Щуп", .minimum = "0", .maximum = "25,5"}, 0, ""},
  };
  for (const Case& c : cases) {
    const GageCheck check = CheckGageForm(g.list, c.position, c.form);
    EXPECT_EQ(check.message, c.message) << c.form.name;
    EXPECT_EQ(check.numberLabel, nullptr);
  }
  const GageCheck ok = CheckGageForm(g.list, 0, {.name = " Щуп ", .decimals = 2, .minimum = "0", .maximum = "25,5"});
  EXPECT_EQ(ok.fields.name, "Щуп");
  EXPECT_EQ(ok.fields.range.Get(ValueRange::kUpper), 25.5);
  EXPECT_EQ(ok.fields.range.slots[ValueRange::kUpper].decimals, 2);
}

TEST(CheckGageForm, ABoundThatIsNoNumberWithinTheLimitsGoesToTheNumberCheck) {
  Gauges g;
  const std::pair<const char*, const char*> bounds[] = {{"abc", ""}, {"", "2e12"}, {"-1e13", "1"}};
  for (const auto& [min, max] : bounds) {
    const GageCheck check = CheckGageForm(g.list, 0, {.name = "Щуп", .minimum = min, .maximum = max});
    ASSERT_NE(check.numberLabel, nullptr) << min << max;
    EXPECT_STREQ(check.numberLabel, *min ? kGageMinimumLabel : kGageMaximumLabel);
    EXPECT_EQ(check.numberText, *min ? min : max);
  }
  // The editor shows the number check's own message and stays open.
  GageEditor editor(g.list, 0);
  editor.form = {.name = "Щуп", .maximum = "2e12"};
  EXPECT_FALSE(editor.Accept());
  ASSERT_EQ(g.fake.messages.shown.size(), 1u);
  EXPECT_NE(g.fake.messages.shown[0].text.find("Максимальный предел измерения"), std::string::npos);
  EXPECT_EQ(g.list.Count(), 2);
}

TEST(GageEditor, NewGaugeIsAddedAndLogged) {
  Gauges g;
  GageEditor editor(g.list, 0);
  EXPECT_EQ(editor.Title(), "Создание средства измерения");
  EXPECT_EQ(editor.form.connectionType, 1);
  EXPECT_EQ(editor.form.formatPosition, 1);
  EXPECT_TRUE(editor.ConnectionFieldsShown());
  editor.form.name = "Щуп";
  editor.form.connectionType = 2;
  editor.form.deviceId = "A1";
  ASSERT_TRUE(editor.Accept());
  EXPECT_TRUE(editor.Changed());
  ASSERT_EQ(g.list.Count(), 3);
  EXPECT_EQ(g.list.Item(3)->deviceId, "A1");
  ASSERT_EQ(g.fake.log.lines.size(), 1u);
  EXPECT_TRUE(g.fake.log.lines[0].starts_with("Add gage #3: name=\"Щуп\""));
  EXPECT_TRUE(g.fake.log.lines[0].ends_with(", conn=Wire, GID=\"A1\""));
}

TEST(GageEditor, NothingIsStoredOrLoggedWhenNothingChanged) {
  Gauges g;
  GageEditor same(g.list, 2);
  EXPECT_EQ(same.Title(), "Изменение средства измерения (2/2)");
  EXPECT_EQ(same.form.minimum, "0");
  EXPECT_EQ(same.form.maximum, "25");
  ASSERT_TRUE(same.Accept());
  EXPECT_FALSE(same.Changed());
  EXPECT_TRUE(g.fake.log.lines.empty());

  GageEditor changed(g.list, 2);
  changed.form.unit = "см";
  ASSERT_TRUE(changed.Accept());
  EXPECT_TRUE(changed.Changed());
  EXPECT_EQ(g.list.Item(2)->unit, "см");
  ASSERT_EQ(g.fake.log.lines.size(), 1u);
  EXPECT_TRUE(g.fake.log.lines[0].starts_with("Change gage #2: name=\"Микрометр\""));
}

TEST(GageEditor, ARefusalKeepsTheEditorOpenAndTheListUnchanged) {
  Gauges g;
  GageEditor editor(g.list, 0);
  editor.form.name = "КАЛИБР";
  EXPECT_FALSE(editor.Accept());
  EXPECT_EQ(g.fake.messages.Texts(),
            std::vector<std::string>{"Такое название уже имеет одно из средств измерения (#1) - Калибр"});
  EXPECT_EQ(g.list.Count(), 2);
  EXPECT_EQ(editor.Position(), 0);
}

TEST(GageListLogic, RowsDeletionAndTheLogOfTheWindow) {
  Gauges g;
  g.list.Item(2)->connectionType = 1;
  g.list.Item(2)->transmissionStart = 2;
  g.list.MarkSynced();
  GageListLogic logic(g.list, true, g.list.Item(2)->id);
  EXPECT_EQ(logic.current, 2);
  EXPECT_EQ(logic.Caption(), "Средства измерений (2):");
  EXPECT_EQ(logic.Row(2), (std::vector<std::string>{"2", "Микрометр", "", "мм", "от 0 до 25",
                                                    "Беспроводное (автоматически)", ""}));
  g.fake.messages.answers.push_back(false);
  EXPECT_FALSE(logic.DeleteCurrent());
  EXPECT_EQ(g.fake.messages.shown.back().text, "Вы действительно желаете удалить средство измерений \"Микрометр\" ?");
  g.fake.messages.answers.push_back(true);
  EXPECT_TRUE(logic.DeleteCurrent());
  EXPECT_EQ(g.list.Count(), 1);
  EXPECT_EQ(logic.current, 1);
  logic.Finish(false);
  EXPECT_TRUE(g.list.IsModified());
  ASSERT_EQ(g.fake.log.lines.size(), 3u);
  EXPECT_EQ(g.fake.log.lines[0], "Open gages: #gages=2");
  EXPECT_TRUE(g.fake.log.lines[1].starts_with("Delete gage: name=\"Микрометр\""));
  EXPECT_EQ(g.fake.log.lines[2], "Gages changed: #gages=1");
}

TEST(GageListLogic, ClosingLogsTheListOnlyWhenChangedOrConfirmed) {
  for (const bool accepted : {false, true}) {
    Gauges g;
    g.list.MarkSynced();
    GageListLogic logic(g.list, false, 0);
    EXPECT_EQ(logic.current, 1);
    logic.Finish(accepted);
    EXPECT_FALSE(g.list.IsModified());
    EXPECT_EQ(g.fake.log.lines.size(), accepted ? 2u : 1u);
  }
  Gauges empty;
  empty.list.Clear();
  GageListLogic logic(empty.list, false, 0);
  EXPECT_FALSE(logic.CanEdit());
  EXPECT_FALSE(logic.CanDelete());
  EXPECT_TRUE(logic.CanAdd());
}

TEST(CheckProfileForm, Refusals) {
  Gauges g;
  const std::int32_t gaugeId = g.list.Item(2)->id;
  const std::pair<ProfileForm, const char*> cases[] = {
      {{.name = " "}, "Укажите название"},
      {{.name = "СИ", .source = 2}, "Не выбрано средство измерения"},
      {{.name = "СИ", .source = 2, .gageId = 12345}, "Не выбрано средство измерения"},  // gone
      {{.name = "СИ", .source = 2, .gageId = gaugeId}, ""},
      {{.name = "Клав", .source = 1}, ""},
  };
  for (const auto& [form, message] : cases) EXPECT_EQ(CheckProfileForm(form, g.list), message) << form.name;
}

TEST(ProfileEditor, ShowsTheChosenGaugeAndStoresTheProfile) {
  Gauges g;
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ProfileEditor editor(profiles, g.list, 0);
  EXPECT_EQ(editor.Title(), "Создание профиля ввода данных");
  EXPECT_EQ(editor.GageName(), " <не выбрано>");
  EXPECT_EQ(editor.GageDetails(), "");
  editor.form.name = "Микрометр";
  editor.form.source = 2;
  EXPECT_FALSE(editor.Accept());
  EXPECT_EQ(g.fake.messages.Texts().back(), "Не выбрано средство измерения");
  editor.ChooseGage(2);
  EXPECT_EQ(editor.GageName(), "Микрометр");
  EXPECT_EQ(editor.GageDetails(), "Пределы измерения:  от 0 до 25 мм\r\nПодключение:  Беспроводное (по нажатию кнопки)");
  ASSERT_TRUE(editor.Accept());
  ASSERT_EQ(profiles.Count(), 2);
  EXPECT_EQ(profiles.Item(2)->gageId, g.list.Item(2)->id);
  EXPECT_TRUE(profiles.IsModified());
  EXPECT_TRUE(g.fake.log.lines.back().starts_with("Add input profile #2: name=\"Микрометр\""));
  EXPECT_TRUE(g.fake.log.lines.back().ends_with(", src=Gage"));

  ProfileEditor change(profiles, g.list, 2);
  EXPECT_EQ(change.Title(), "Изменение профиля ввода данных (2/2)");
  change.form.source = 1;  // the gauge stays chosen, unused
  ASSERT_TRUE(change.Accept());
  EXPECT_EQ(profiles.Item(2)->gageId, g.list.Item(2)->id);
  EXPECT_TRUE(g.fake.log.lines.back().starts_with("Change input profile #2: "));
}

TEST(ProfileListLogic, RowsAndARealDeleteThatKeepsOneProfile) {
  Gauges g;
  TInputProfileSet profiles;
  ASSERT_TRUE(profiles.AddDefaultProfile());
  ProfileListLogic logic(profiles, g.list);
  EXPECT_EQ(logic.Caption(), "Профили ввода исходных данных (1):");
  EXPECT_EQ(logic.Row(1), (std::vector<std::string>{"1", "Обычный", "Клавиатура"}));
  EXPECT_FALSE(logic.CanDelete());
  ASSERT_TRUE(profiles.AddNew());
  profiles.Item(2)->name = "СИ";
  profiles.Item(2)->source = 2;
  profiles.Item(2)->gageId = g.list.Item(2)->id;
  profiles.SetCurrent(2);
  EXPECT_EQ(logic.Row(2)[2], "Средство измерения (Микрометр; пределы изм. от 0 до 25 мм)");
  logic.current = 2;
  EXPECT_TRUE(logic.CanDelete());
  g.fake.messages.answers.push_back(true);
  ASSERT_TRUE(logic.DeleteCurrent());
  EXPECT_EQ(g.fake.messages.shown.back().text, "Вы действительно желаете удалить профиль ввода \"СИ\" ?");
  EXPECT_EQ(profiles.Count(), 1);
  EXPECT_EQ(profiles.currentPosition, 1);  // the current profile was deleted
  EXPECT_TRUE(g.fake.log.lines.back().starts_with("Delete input profile: name=\"СИ\""));
  EXPECT_FALSE(logic.CanDelete());
}

}  // namespace
}  // namespace mv
