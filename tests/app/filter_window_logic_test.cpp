// The filter window and the condition window as their logic decides them.

#include "app/filter_window_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

SampleFilterCondition Made(const TDatasetSPC& ds, int property, std::uint8_t condition, const char* text) {
  ConditionWindowLogic w(ds, DataKind::Var);
  w.SetPropertyIndex(property);
  w.SetCondition(condition);
  w.SetText(text);
  EXPECT_EQ(w.Accept(), "");
  return w.Result();
}

TEST(ConditionWindowLogic, PropertiesStartAndChecks) {
  test::FakePlatform fake;
  const auto ds = test::SampleDataset();
  ConditionWindowLogic w(*ds, DataKind::Var);
  EXPECT_EQ(w.Title(), "Добавление условия фильтра SPC");
  std::vector<std::string> texts;
  for (const auto& p : w.Properties()) texts.push_back(p.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Дата", "Время", "Примечание", "Событие", "Диаметр", "Длина"}));
  EXPECT_EQ(w.Properties()[2].note, "Примечание выборки");
  EXPECT_EQ(w.PropertyIndex(), 2);
  EXPECT_EQ(w.Condition(), filter_cond::kEqual);
  EXPECT_TRUE(w.Active());
  EXPECT_FALSE(w.MatchCase());
  EXPECT_TRUE(w.CaseVisible());
  EXPECT_EQ(w.Accept(), "Не указано значение для проверки условия");
  w.SetPropertyIndex(4);
  EXPECT_FALSE(w.CaseVisible());
  w.SetCondition(filter_cond::kContains);
  EXPECT_EQ(w.Accept(), "Данный тип условия неприменим к выбранному свойству");
  w.SetCondition(filter_cond::kInterval);
  EXPECT_TRUE(w.IntervalNoteVisible());
  w.SetText("5..3");
  EXPECT_EQ(w.Accept(), "Второе значение в интервале должно быть больше первого");
  w.SetText("9,9..10,05");
  EXPECT_EQ(w.Accept(), "");
  EXPECT_EQ(w.Result().paramId, ds->Parameter(1)->id);
  EXPECT_EQ(w.Result().valueCount, 2);
  w.SetText(std::string(60, '1'));
  EXPECT_EQ(w.Text().size(), 50u);

  ConditionWindowLogic edit(*ds, DataKind::Var, w.Result());
  EXPECT_EQ(edit.Title(), "Изменение условия фильтра SPC");
  EXPECT_EQ(edit.PropertyIndex(), 4);
  EXPECT_EQ(edit.Condition(), filter_cond::kInterval);
  EXPECT_EQ(edit.Text(), "9,9..10,05");
}

TEST(FilterWindowLogic, ButtonsStatusAndRows) {
  test::FakePlatform fake;
  auto ds = test::SampleDataset();
  FilterWindowLogic w(*ds, DataKind::Var);
  EXPECT_EQ(w.Title(), "Фильтр SPC (количественные данные)");
  EXPECT_EQ(w.StatusText(), "Добавьте условия фильтра");
  EXPECT_TRUE(w.CanAdd());
  EXPECT_FALSE(w.CanChange());
  EXPECT_FALSE(w.CanMove());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Add(Made(*ds, 2, filter_cond::kEqual, std::to_string(i).c_str())), i);
  EXPECT_FALSE(w.CanAdd());
  EXPECT_EQ(w.Add(Made(*ds, 2, filter_cond::kEqual, "6")), -1);
  EXPECT_EQ(w.Count(), 5);
  EXPECT_EQ(w.MoveUp(0), 0);
  EXPECT_EQ(w.MoveDown(0), 1);
  EXPECT_EQ(w.At(0).text, "1");
  EXPECT_EQ(w.MoveDown(4), 4);
  EXPECT_EQ(w.Delete(4), 3);
  EXPECT_EQ(w.Delete(0), 0);
  EXPECT_EQ(w.At(0).text, "0");
  for (int r = 0; r < w.Count(); ++r) w.ToggleActive(r);
  EXPECT_EQ(w.StatusText(), "Нет активных условий фильтра");
  w.ToggleActive(1);
  EXPECT_EQ(w.StatusText(), "Фильтр может применяться");
  EXPECT_EQ(w.RowTexts(1), (std::vector<std::string>{"+", "Примечание", "Равно", "2"}));
  EXPECT_EQ(w.RowTexts(0)[0], "");
  w.SetActive(false);
  EXPECT_FALSE(w.CanAdd() || w.CanChange() || w.CanDelete() || w.CanMove());
  EXPECT_EQ(w.Delete(0), -1);
  EXPECT_EQ(w.Count(), 3);
}

TEST(FilterWindowLogic, OkWritesLogsMarksChangedAndRefilters) {
  test::FakePlatform fake;
  auto ds = test::SampleDataset();
  ds->MarkSaved();
  FilterWindowLogic w(*ds, DataKind::Var);
  EXPECT_EQ(FilterCommand(*ds, DataKind::Var).hint, " Фильтр (неактивен) ");
  w.Add(Made(*ds, 4, filter_cond::kGreater, "10"));
  auto inactive = Made(*ds, 0, filter_cond::kEqual, "01.03.2024");
  inactive.active = false;
  w.Add(inactive);
  w.SetName("   " + std::string(70, 'x'));
  std::vector<std::string> history = {"Старый"};
  w.Accept(&history);
  const std::string name(60, 'x');
  EXPECT_EQ(w.Name(), name);
  EXPECT_EQ(history, (std::vector<std::string>{name, "Старый"}));
  EXPECT_TRUE(ds->IsChanged());
  ASSERT_FALSE(fake.log.lines.empty());
  EXPECT_EQ(fake.log.lines.back(), "Edit SPC Filter is done - act=Y, name=\"" + name + "\", #cond=2, #actcond=1");
  // Diameters 9.97 .. 10.05: three of five in each sample are above 10.
  EXPECT_EQ(ds->Block(1)->stats.countedPoints, 9);
  const FilterCommandState command = FilterCommand(*ds, DataKind::Var);
  EXPECT_EQ(command.text, "Фильтр SPC (количественные данные)");
  EXPECT_TRUE(command.pressed);
  EXPECT_EQ(command.hint, " Фильтр \"" + name + "\" ");
  EXPECT_EQ(FilterCommand(*ds, DataKind::Attr).text, "Фильтр SPC (альтернативные данные)");
}

}  // namespace
}  // namespace mv
