#include "spc/dataset_spc.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace mv {
namespace {

// A dataset with named parameters of the given kinds (order numbers as the dataset gives them).
void AddParameters(TDatasetSPC& ds, std::initializer_list<DataKind> kinds) {
  int n = 0;
  for (const DataKind kind : kinds) {
    TSPCParameter props;
    props.kind = kind;
    props.name = "П" + std::to_string(++n);
    ASSERT_NE(ds.SetParameter(0, 0, props), 0);
  }
}

int AddBlockOf(TDatasetSPC& ds, DataKind kind, std::string_view name = "Блок") {
  return ds.AddBlock(0, name, SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 0, kind, "", "");
}

TEST(DatasetSpc, NewDatasetState) {
  test::FakePlatform fake;
  fake.ids.next = 123456789;
  TDatasetSPC ds;
  EXPECT_EQ(ds.id, 123456789);
  EXPECT_TRUE(ds.isNew);
  EXPECT_TRUE(ds.IsChanged());
  EXPECT_EQ(ds.TypeCode(), 1);
  EXPECT_EQ(ds.creationNote, "01.03.2024 12:00 Создание набора данных");
  EXPECT_TRUE(ds.blockEditingAllowed);
  EXPECT_EQ(ds.LogDetails(), "prm=0+0, blk=0, process=\"\", new dataset");
  ds.MarkSaved();
  EXPECT_FALSE(ds.IsChanged());
  ASSERT_TRUE(ds.AddParameter());
  EXPECT_TRUE(ds.IsChanged());  // a change right after the save counts

  ds.accessFlags |= access_flag::kExample;
  ds.SetNewIdentifier();
  EXPECT_FALSE(ds.IsExample());
  EXPECT_NE(ds.id, 123456789);
}

TEST(DatasetSpc, CapacityRefusalsChangeNothing) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ds.AddParameter());
  ds.MarkSaved();
  EXPECT_FALSE(ds.AddParameter());
  EXPECT_EQ(ds.SetParameter(0, 0, TSPCParameter()), 0);
  EXPECT_EQ(ds.ParameterCount(), 20);
  for (int i = 0; i < 200; ++i) ASSERT_NE(AddBlockOf(ds, DataKind::Var), 0);
  ds.MarkSaved();
  EXPECT_EQ(AddBlockOf(ds, DataKind::Var), 0);
  EXPECT_EQ(ds.BlockCount(), 200);
  EXPECT_FALSE(ds.IsChanged());
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(DatasetSpc, SetParameterTakesPropertiesAndIdentifiers) {
  test::FakePlatform fake;
  fake.ids.next = 500000000;
  TDatasetSPC ds;
  ds.scales.Add("Длина", "мм");
  TSPCParameter props;
  props.name = std::string(90, 'x');
  props.shortName = "Диаметр вала, мм";  // 16 characters
  props.decimals = 9;
  props.scaleId = 1;
  props.SetTolerance(9.9, 10.1, 10.0);
  const int position = ds.SetParameter(0, 777, props);
  ASSERT_EQ(position, 1);
  const TSPCParameter& p = *ds.Parameter(1);
  EXPECT_EQ(p.id, 777);
  EXPECT_EQ(p.name.size(), 80u);
  EXPECT_EQ(p.shortName, "Диаметр вала, м");
  EXPECT_EQ(p.decimals, 5);
  EXPECT_EQ(p.scalePosition, 1);
  EXPECT_EQ(p.position, 1);
  EXPECT_EQ(p.Usl(), 10.1);
  EXPECT_TRUE(p.HasFlag(param_flag::kUsl));

  EXPECT_EQ(ds.SetParameter(0, 0, TSPCParameter()), 2);
  EXPECT_NE(ds.Parameter(2)->id, 0);
  EXPECT_NE(ds.Parameter(2)->id, 777);
  EXPECT_EQ(ds.SetParameter(5, 0, props), 0);  // no such position

  TSPCParameter attr;
  attr.kind = DataKind::Attr;
  attr.name = "Брак";
  ASSERT_EQ(ds.SetParameter(0, 0, attr), 3);
  ASSERT_EQ(ds.SetParameter(0, 0, attr), 4);
  EXPECT_EQ(ds.Parameter(4)->position, 2);  // follows the last alternative parameter
  EXPECT_EQ(ds.OrderList(DataKind::Attr), (std::vector<int>{3, 4}));
  EXPECT_EQ(ds.OrderList(DataKind::Var), (std::vector<int>{1, 2}));
  // No process name: no empty quotes for it.
  for (const auto& [process, text] : {std::pair{"", "4 параметра, 2 (колич.), 2 (альт.)"},
                                      std::pair{"  ", "4 параметра, 2 (колич.), 2 (альт.)"},
                                      std::pair{"Сборка", "4 параметра, 2 (колич.), 2 (альт.), процесс \"Сборка\""}}) {
    ds.processName = process;
    EXPECT_EQ(ds.ContentsText(), text) << process;
  }
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(DatasetSpc, DeletingAParameterShiftsSlotsAndOrderNumbers) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddParameters(ds, {DataKind::Var, DataKind::Var, DataKind::Var});
  const int b = AddBlockOf(ds, DataKind::Var);
  ASSERT_TRUE(ds.Block(b)->AddSample("", "", true));
  TSPCSample& sample = *ds.Block(b)->Sample(1);
  ASSERT_TRUE(sample.AddPoints(2));
  for (int point = 1; point <= 2; ++point) {
    for (int param = 1; param <= 3; ++param) ASSERT_TRUE(ds.SetValue(b, 1, point, param, point * 10 + param));
  }
  ds.DeleteParameter(1);
  ASSERT_EQ(ds.ParameterCount(), 2);
  for (int point = 1; point <= 2; ++point) {
    SCOPED_TRACE(point);
    EXPECT_EQ(ds.GetValue(b, 1, point, 1), point * 10 + 2);
    EXPECT_EQ(ds.GetValue(b, 1, point, 2), point * 10 + 3);
    EXPECT_FALSE(sample.Point(point)->HasValue(3));
  }
  EXPECT_EQ(ds.Parameter(1)->name, "П2");
  EXPECT_EQ(ds.Parameter(1)->position, 1);
  EXPECT_EQ(ds.Parameter(2)->position, 2);
  EXPECT_EQ(sample.Stats(1).mean, 17.0);  // statistics follow the shifted slots
  EXPECT_TRUE(fake.messages.shown.empty());

  ds.DeleteAllParameters();
  EXPECT_EQ(ds.ParameterCount(), 0);
  EXPECT_EQ(fake.log.lines.back(), "Delete all parameters (2)");
}

TEST(DatasetSpc, BrokenOrderNumbersAreRepairedWithAWarning) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddParameters(ds, {DataKind::Var, DataKind::Attr, DataKind::Var});
  TSPCParameter props = *ds.Parameter(3);
  props.position = 1;  // the same number as parameter 1
  ASSERT_EQ(ds.SetParameter(3, 0, props), 3);
  EXPECT_EQ(ds.Parameter(1)->position, 1);
  EXPECT_EQ(ds.Parameter(3)->position, 2);
  EXPECT_EQ(ds.OrderList(DataKind::Var), (std::vector<int>{1, 3}));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Обнаружено нарушение последовательности (порядковых номеров) количественных параметров.Проверьте "
            "порядок параметров и при необходимости измените его");
  EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Warning);
  ASSERT_EQ(fake.log.lines.size(), 1u);
  EXPECT_EQ(fake.log.lines[0], "[ERR] Var params (2) sequense repaired after failure");

  // A valid reordering moves parameters without any warning.
  props = *ds.Parameter(1);
  props.position = 2;
  ds.Parameter(3)->position = 1;
  ASSERT_EQ(ds.SetParameter(1, 0, props), 1);
  EXPECT_EQ(ds.OrderList(DataKind::Var), (std::vector<int>{3, 1}));
  EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST(DatasetSpc, FindParameterByNameOrShortName) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddParameters(ds, {DataKind::Var, DataKind::Attr});
  ds.Parameter(1)->shortName = "Диам";
  EXPECT_EQ(ds.FindParameter("п2"), 2);
  EXPECT_EQ(ds.FindParameter("ДИАМ"), 1);
  EXPECT_EQ(ds.FindParameter("диам", 1), 0);
  EXPECT_EQ(ds.FindParameter(""), 0);  // an empty short name never matches
}

TEST(DatasetSpc, BlocksAreNumberedListedAndLogged) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddBlockOf(ds, DataKind::Var, "Январь");
  AddBlockOf(ds, DataKind::Attr, "Брак январь");
  AddBlockOf(ds, DataKind::Var, "Февраль");
  for (int i = 1; i <= 3; ++i) ds.NumberBlock(i);
  EXPECT_EQ(ds.Block(3)->id, 3);
  EXPECT_EQ(ds.nextBlockNumber, 3);
  EXPECT_EQ(ds.BlockList(DataKind::Var), (std::vector<int>{1, 3}));
  EXPECT_EQ(ds.FindBlock("ФЕВРАЛЬ"), 3);
  EXPECT_EQ(ds.FindBlock("февраль", 3), 0);
  EXPECT_EQ(ds.FindBlockByID(2), 2);
  ds.DeleteBlock(1);
  EXPECT_EQ(fake.log.lines.back(), "Delete block 1: Kind=Var, ID=1, Name=\"Январь\", #samples=0, Flags=0003h");
  EXPECT_EQ(ds.BlockList(DataKind::Var), (std::vector<int>{2}));
  EXPECT_EQ(ds.BlockList(DataKind::Attr), (std::vector<int>{1}));
  ds.DeleteAllBlocks();
  EXPECT_EQ(ds.BlockCount(), 0);
  EXPECT_EQ(fake.log.lines.back(), "Delete all blocks (2)");

  const int individual =
      ds.AddBlock(0, "Инд", SamplingMode::Individual, block_flag::kTimes, 0, DataKind::Var, "каждый час", "");
  EXPECT_EQ(ds.Block(individual)->flags, block_flag::kIndividual);  // a time needs a date
}

TEST(DatasetSpc, ValuesCarryToleranceMarks) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddParameters(ds, {DataKind::Var, DataKind::Attr});
  TSPCParameter props = *ds.Parameter(1);
  props.SetTolerance(std::nullopt, 5.0, std::nullopt);  // only USL
  ds.SetParameter(1, 0, props);
  const int b = AddBlockOf(ds, DataKind::Var);
  ASSERT_TRUE(ds.Block(b)->AddSample("", "", true));
  TSPCSample& s = *ds.Block(b)->Sample(1);
  ASSERT_TRUE(s.AddPoints(2));
  ASSERT_TRUE(ds.SetValue(b, 1, 1, 1, 5.0));  // on the bound: within
  ASSERT_TRUE(ds.SetValue(b, 1, 2, 2, 99.0));  // alternative: never marked
  EXPECT_EQ(s.flags & sample_flag::kOutOfTolerance, 0);
  ASSERT_TRUE(ds.SetValue(b, 1, 2, 1, 5.5));
  EXPECT_NE(s.Point(2)->Flags() & point_flag::kOutOfTolerance, 0);
  EXPECT_NE(s.flags & sample_flag::kOutOfTolerance, 0);
  EXPECT_TRUE(s.changed);
  ASSERT_TRUE(ds.SetValue(b, 1, 2, 1, -100.0));
  EXPECT_EQ(s.flags & sample_flag::kOutOfTolerance, 0);

  EXPECT_FALSE(ds.SetValue(b, 1, 3, 1, 1.0));
  EXPECT_FALSE(ds.SetValue(b, 1, 1, 3, 1.0));
  EXPECT_FALSE(ds.GetValue(b, 2, 1, 1).has_value());
  EXPECT_FALSE(ds.GetValue(b, 1, 1, 2).has_value());  // empty slot
  EXPECT_EQ(ds.GetValue(b, 1, 2, 2), 99.0);
}

TEST(DatasetSpc, DefaultsFillNewPoints) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  AddParameters(ds, {DataKind::Var, DataKind::Var});
  TSPCParameter props = *ds.Parameter(2);
  props.SetDataLimits(std::nullopt, std::nullopt, 12.5);
  ds.SetParameter(2, 0, props);
  TSPCSample sample;  // a point lives in its sample
  ASSERT_TRUE(sample.AddPoint());
  TFileSmpPoint point = sample.Point(1);
  point.SetValue(1, 3.0);
  ds.FillDefaults(point);
  EXPECT_FALSE(point.HasValue(1));
  EXPECT_EQ(point.Value(2), 12.5);
  EXPECT_NE(point.ValueFlags(2) & value_flag::kEdited, 0);
}

TEST(DatasetSpc, DeletedScalesAndClassesLeaveTheirParameters) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.scales.Add("A", "");
  ds.scales.Add("B", "мм");
  ds.classes.Add("Критичный", "");
  AddParameters(ds, {DataKind::Var});
  TSPCParameter props = *ds.Parameter(1);
  props.scaleId = 2;
  props.classId = 1;
  ds.SetParameter(1, 0, props);
  ds.scales.Delete(1);
  ds.ResolveScalesAndClasses();
  EXPECT_EQ(ds.Parameter(1)->scaleId, 2);  // its scale survives under another position
  EXPECT_EQ(ds.Parameter(1)->scalePosition, 1);
  EXPECT_EQ(ds.scales.Add("C", ""), 2);
  EXPECT_EQ(ds.scales.Get(2)->id, 3);  // never the identifier of a scale still referred to
  ds.scales.Delete(1);
  ds.classes.Delete(1);
  ds.ResolveScalesAndClasses();
  EXPECT_EQ(ds.Parameter(1)->scaleId, 0);
  EXPECT_EQ(ds.Parameter(1)->classId, 0);
  EXPECT_EQ(ds.scales.ChoiceText(0), "<Собственный>");
  EXPECT_EQ(ds.classes.ChoiceText(0), "<не выбран>");
  EXPECT_EQ(ds.scales.ChoiceText(1), "C");
}

}  // namespace
}  // namespace mv
