#include "app/dataset_window_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "app/password.h"
#include "core/text.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

constexpr const char* kPassword = "секрет1";

class DatasetWindowLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_ds = test::SampleDataset();
    m_ds->slot = 1;
    m_ds->MarkSaved();
  }
  // Blocks "Партия 1".."Партия n" of the kind after those of the sample dataset.
  void AddBlocks(int n, DataKind kind = DataKind::Var, std::uint16_t flags = 0) {
    for (int i = 1; i <= n; ++i) {
      m_ds->AddBlock(0, "Партия " + std::to_string(i), SamplingMode::Samples, flags, 0, kind, "", "");
    }
  }
  void Protect(std::uint32_t accessFlags = 0) {
    m_ds->passwordHash = *PasswordHash(kPassword);
    m_ds->responsible = "Иванов";
    m_ds->accessFlags |= accessFlags;
    m_ds->unlocked = false;
  }
  std::vector<std::string> BlockNames(DataKind kind) const {
    std::vector<std::string> names;
    for (const int position : m_ds->BlockList(kind)) names.push_back(m_ds->Block(position)->name);
    return names;
  }

  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds;
};

TEST_F(DatasetWindowLogicTest, ListsShowTheParametersAndBlocksOfEachKindInOrder) {
  DatasetWindowLogic logic(*m_ds);
  EXPECT_EQ(logic.ParameterCaption(DataKind::Var), "Параметры количественные  (2):");
  EXPECT_EQ(logic.ParameterCaption(DataKind::Attr), "Параметры альтернативные  (1):");
  EXPECT_EQ(logic.BlockCaption(DataKind::Var), "Блоки данных  (1):");
  EXPECT_EQ(logic.ParameterRow(DataKind::Var, 1),
            (std::vector<std::string>{"1", "Диаметр", "мм", m_ds->Parameter(1)->ToleranceText(), ""}));
  EXPECT_EQ(logic.ParameterRow(DataKind::Var, 2)[1], "Длина");
  EXPECT_EQ(logic.ParameterAt(DataKind::Var, 2), 3);
  EXPECT_EQ(logic.ParameterRowOf(3), 2);
  EXPECT_EQ(logic.ParameterRow(DataKind::Attr, 1),
            (std::vector<std::string>{"1", "Брак", "Число несоответствующих единиц", ""}));
  EXPECT_EQ(logic.BlockRow(DataKind::Var, 1),
            (std::vector<std::string>{"1", "Смена 1", "Выборочные данные: 3 выборки, 15 замеров", ""}));
  EXPECT_EQ(logic.BlockRow(DataKind::Attr, 1)[2], "Альтернативные данные: 0 выборок");
  EXPECT_TRUE(logic.ParameterRow(DataKind::Var, 3).empty());

  DatasetWindowLogic debug(*m_ds, true);
  EXPECT_EQ(debug.BlockRow(DataKind::Var, 1)[1], "Смена 1 (#" + std::to_string(m_ds->Block(1)->id) + ")");
}

TEST_F(DatasetWindowLogicTest, CommandsFollowTheCountsOfThePage) {
  DatasetWindowLogic logic(*m_ds);
  const auto var = logic.Enabling(DataKind::Var);
  EXPECT_TRUE(var.addParameter && var.deleteParameter && var.moveParameter && var.addBlock && var.deleteBlocks &&
              var.selectAllBlocks);
  const auto attr = logic.Enabling(DataKind::Attr);  // a single alternative parameter
  EXPECT_FALSE(attr.deleteParameter || attr.moveParameter);
  EXPECT_TRUE(attr.addParameter && attr.deleteBlocks);
  m_ds->DeleteAllBlocks();
  EXPECT_FALSE(logic.Enabling(DataKind::Var).deleteBlocks || logic.Enabling(DataKind::Var).selectAllBlocks);
  AddBlocks(200);
  EXPECT_FALSE(logic.Enabling(DataKind::Var).addBlock);
  // The block-editing switch leaves the commands as they are.
  m_ds->blockEditingAllowed = false;
  EXPECT_TRUE(logic.Enabling(DataKind::Var).deleteBlocks);
}

TEST_F(DatasetWindowLogicTest, TheOnlyParameterOfTheDatasetIsNotDeleted) {
  const char* kOnly = "Недопустимо удалять единственный параметр.\r\nЕсли необходимо, измените его свойства";
  {
    // One quantitative parameter and no alternative one.
    m_ds->DeleteParameter(3);
    m_ds->DeleteParameter(2);
    DatasetWindowLogic logic(*m_ds);
    EXPECT_FALSE(logic.DeleteParameter(DataKind::Var, 1));
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{kOnly});
    EXPECT_EQ(m_ds->ParameterCount(), 1);
  }
  // One of each kind: either may go.
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    SetUp();
    m_ds->DeleteParameter(3);
    m_fake.messages.shown.clear();
    m_fake.messages.answers = {true};
    DatasetWindowLogic logic(*m_ds);
    const std::string name = m_ds->Parameter(logic.ParameterAt(kind, 1))->name;
    EXPECT_TRUE(logic.DeleteParameter(kind, 1));
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"Вы действительно желаете удалить параметр \"" +
                                                                name + "\" ?"});
    EXPECT_EQ(m_ds->ParameterCount(), 1);
    EXPECT_EQ(m_ds->CountOfKind(kind), 0);
    EXPECT_TRUE(m_ds->IsChanged());
  }
}

TEST_F(DatasetWindowLogicTest, DeletingAParameterLogsItAndANoKeepsIt) {
  DatasetWindowLogic logic(*m_ds);
  const std::string logText = m_ds->Parameter(3)->LogText();
  EXPECT_FALSE(logic.DeleteParameter(DataKind::Var, 2));  // "Нет"
  EXPECT_EQ(m_ds->ParameterCount(), 3);
  m_fake.messages.answers = {true};
  EXPECT_TRUE(logic.DeleteParameter(DataKind::Var, 2));
  EXPECT_EQ(m_fake.log.lines, std::vector<std::string>{"Delete parameter 3 [" + logText + "]"});
  EXPECT_EQ(logic.ParameterRows(DataKind::Var), 1);
}

TEST_F(DatasetWindowLogicTest, MovingAParameterExchangesOrderNumbersAndKeepsEveryValueInItsSlot) {
  DatasetWindowLogic logic(*m_ds);
  const double diameter = *m_ds->GetValue(1, 2, 3, 1);
  const double length = *m_ds->GetValue(1, 2, 3, 3);
  EXPECT_EQ(logic.MoveParameter(DataKind::Var, 2, -1), 1);
  EXPECT_EQ(m_ds->Parameter(3)->position, 1);
  EXPECT_EQ(m_ds->Parameter(1)->position, 2);
  EXPECT_EQ(m_ds->OrderList(DataKind::Var), (std::vector<int>{3, 1}));
  EXPECT_EQ(*m_ds->GetValue(1, 2, 3, 1), diameter);
  EXPECT_EQ(*m_ds->GetValue(1, 2, 3, 3), length);
  ASSERT_EQ(m_fake.log.lines.size(), 1u);
  EXPECT_EQ(m_fake.log.lines[0], "Move parameter from pos 2 to 1 [" + m_ds->Parameter(3)->LogText() + "]");
  EXPECT_NE(m_fake.log.lines[0].find("[ID="), std::string::npos);
  EXPECT_TRUE(m_ds->IsChanged());
  EXPECT_EQ(m_fake.progress.titles, std::vector<std::string>{"Пересчет данных..."});
  EXPECT_TRUE(m_fake.progress.ended);
  // Nothing beyond the ends.
  EXPECT_EQ(logic.MoveParameter(DataKind::Var, 1, -1), 0);
  EXPECT_EQ(logic.MoveParameter(DataKind::Var, 2, +1), 0);
  EXPECT_EQ(logic.MoveParameter(DataKind::Var, 1, +1), 2);
  EXPECT_EQ(m_ds->OrderList(DataKind::Var), (std::vector<int>{1, 3}));
}

TEST_F(DatasetWindowLogicTest, DeletingSelectedBlocksAsksTwiceAndRunsFromTheLastRow) {
  const char* kFinal = "После удаления блока восстановление данных из него будет НЕВОЗМОЖНО!\r\nДействительно хотите удалить ?";
  m_ds->DeleteAllBlocks();
  AddBlocks(3);
  AddBlocks(1, DataKind::Attr);
  DatasetWindowLogic logic(*m_ds);
  // A no to either question keeps everything.
  for (const std::deque<bool>& answers : {std::deque<bool>{false}, std::deque<bool>{true, false}}) {
    m_fake.messages.shown.clear();
    m_fake.messages.answers = answers;
    EXPECT_EQ(logic.DeleteBlocks(DataKind::Var, {1, 2, 3}), 0);
    EXPECT_EQ(m_ds->BlockCount(), 4);
  }
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Вы желаете удалить 3 блока количественных данных?", kFinal}));

  // The second row asks for its password and is refused: rows 1 and 2 stay, row 3 is gone.
  Protect();
  m_ds->Block(2)->flags |= block_flag::kProtected | block_flag::kProtectedView;
  m_fake.messages.shown.clear();
  m_fake.messages.answers = {true, true};
  EXPECT_EQ(logic.DeleteBlocks(DataKind::Var, {3, 1, 2}), 1);
  EXPECT_EQ(BlockNames(DataKind::Var), (std::vector<std::string>{"Партия 1", "Партия 2"}));
  EXPECT_EQ(BlockNames(DataKind::Attr), std::vector<std::string>{"Партия 1"});
  ASSERT_EQ(m_fake.prompts.passwordPrompts.size(), 1u);
  EXPECT_EQ(m_fake.messages.Texts().back(), "Доступ к блоку \"Партия 2\" невозможен без указания пароля");
  ASSERT_FALSE(m_fake.log.lines.empty());
  EXPECT_EQ(m_fake.log.lines.back().rfind("Delete block 3: ", 0), 0u);

  // One row names its block; the alternative page has its own word.
  m_fake.messages.shown.clear();
  EXPECT_EQ(logic.DeleteBlocks(DataKind::Var, {1}), 0);
  EXPECT_EQ(logic.DeleteBlocks(DataKind::Attr, {1}), 0);
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Вы желаете удалить блок количественных данных \"Партия 1\" ?",
                                      "Вы желаете удалить блок альтернативных данных \"Партия 1\" ?"}));
}

TEST_F(DatasetWindowLogicTest, BlockAccessAsksOnlyWhereTheProtectionCovers) {
  const char* kRefusedInEditing =
      "Доступ к блоку \"Партия 1\" невозможен без указания пароля (только в режиме редактирования блока)";
  const struct {
    std::uint16_t flags;
    bool editing;
    bool password;
    bool asks;
    const char* refusal;
  } kCases[] = {
      {block_flag::kProtected, false, true, false, nullptr},
      {block_flag::kProtected, true, true, true, kRefusedInEditing},
      {block_flag::kProtected | block_flag::kProtectedView, false, true, true,
       "Доступ к блоку \"Партия 1\" невозможен без указания пароля"},
      {block_flag::kProtected, true, false, false, nullptr},  // no password: nothing to ask
      {0, true, true, false, nullptr},
  };
  for (const auto& c : kCases) {
    SetUp();
    m_fake.messages.shown.clear();
    m_fake.prompts.passwordPrompts.clear();
    AddBlocks(1, DataKind::Var, c.flags);
    if (c.password) Protect();
    m_ds->blockEditingAllowed = c.editing;
    DatasetWindowLogic logic(*m_ds);
    const int block = m_ds->BlockCount();
    EXPECT_EQ(logic.MayOpenBlock(block), !c.asks) << c.flags << c.editing;
    EXPECT_EQ(m_fake.prompts.passwordPrompts.size(), c.asks ? 1u : 0u) << c.flags << c.editing;
    if (c.asks) {
      EXPECT_EQ(m_fake.prompts.passwordPrompts[0].text, "Для доступа к блоку \"Партия 1\" требуется указать пароль");
      EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{c.refusal});
      // The right password opens it, and nothing is asked again in this run.
      m_fake.prompts.passwords = {kPassword};
      EXPECT_TRUE(logic.MayOpenBlock(block));
      EXPECT_TRUE(logic.MayOpenBlock(block));
      EXPECT_EQ(m_fake.prompts.passwordPrompts.size(), 2u);
      EXPECT_TRUE(m_ds->unlocked);
    }
  }
}

TEST_F(DatasetWindowLogicTest, ParameterAndBlockListAccessFollowTheAccessFlags) {
  const struct {
    std::uint32_t flag;
    bool (*check)(DatasetWindowLogic&);
    const char* refusal;
  } kCases[] = {
      {access_flag::kPasswordOnParameters, [](DatasetWindowLogic& l) { return l.MayEditParameter(); },
       "Доступ к параметрам набора данных невозможен без указания пароля"},
      {access_flag::kPasswordOnParameters, [](DatasetWindowLogic& l) { return l.MayAddParameter(); },
       "Доступ к параметрам набора данных невозможен без указания пароля"},
      {access_flag::kPasswordOnBlocks, [](DatasetWindowLogic& l) { return l.MayAddBlock(); },
       "Создание нового блока невозможно без указания пароля"},
      {access_flag::kPasswordOnBlocks, [](DatasetWindowLogic& l) { return l.BlockListAccess(false); },
       "Удаление блока невозможно без указания пароля"},
  };
  for (const auto& c : kCases) {
    SetUp();
    m_fake.messages.shown.clear();
    Protect();
    DatasetWindowLogic logic(*m_ds);
    EXPECT_TRUE(c.check(logic)) << c.refusal;  // the flag is not set
    m_ds->accessFlags |= c.flag;
    EXPECT_FALSE(c.check(logic));
    EXPECT_EQ(m_fake.messages.Texts(), std::vector<std::string>{c.refusal});
  }
}

TEST_F(DatasetWindowLogicTest, TwentyParametersRefuseAnother) {
  while (m_ds->ParameterCount() < 20) ASSERT_TRUE(m_ds->AddParameter());
  DatasetWindowLogic logic(*m_ds);
  EXPECT_FALSE(logic.MayAddParameter());
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"Количество параметров достигло максимально возможного (20) для текущего набора "
                                     "данных. Новый параметр добавить нельзя"});
  // Each kind has fewer than 20: the commands stay enabled and refuse.
  EXPECT_TRUE(logic.Enabling(DataKind::Var).addParameter);
  EXPECT_TRUE(logic.Enabling(DataKind::Attr).addParameter);
}

TEST_F(DatasetWindowLogicTest, AnalysisNeedsABlockOfTheKindAndAChartTakesTwentyBlocks) {
  m_ds->DeleteAllBlocks();
  m_fake.log.lines.clear();
  DatasetWindowLogic logic(*m_ds);
  EXPECT_FALSE(logic.AnalysisAvailable(DataKind::Var));
  EXPECT_FALSE(logic.AnalysisAvailable(DataKind::Attr));
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Функция недоступна, т.к. нет ни одного количественного блока",
                                      "Функция недоступна, т.к. нет ни одного альтернативного блока"}));
  EXPECT_TRUE(m_fake.log.lines.empty());

  AddBlocks(25);
  AddBlocks(1, DataKind::Attr);
  std::vector<int> rows;
  for (int row = 25; row >= 1; --row) rows.push_back(row);
  const std::vector<int> chart = logic.ChartBlocks(DataKind::Var, rows);
  ASSERT_EQ(chart.size(), 20u);
  EXPECT_EQ(chart.front(), 1);
  EXPECT_EQ(chart.back(), 20);
  EXPECT_EQ(logic.SelectedBlocks(DataKind::Attr, {1, 7}), std::vector<int>{26});
}

TEST_F(DatasetWindowLogicTest, PictureTakesSmallFilesOnly) {
  DatasetWindowLogic logic(*m_ds);
  const std::string small(40000, 'x');
  EXPECT_TRUE(logic.TakePicture("/data/фото/photo.jpg", small, 640, 480));
  EXPECT_EQ(m_ds->picture.fileName, "640,480,photo.jpg");
  EXPECT_EQ(m_ds->picture.data, small);
  EXPECT_EQ(m_fake.log.lines, std::vector<std::string>{"Load picture /data/фото/photo.jpg (640x480)"});
  EXPECT_TRUE(m_ds->IsChanged());

  // A file whose length the data file cannot hold leaves the dataset as it was.
  m_ds->MarkSaved();
  m_fake.log.lines.clear();
  for (const std::size_t size : {std::size_t{65536}, std::size_t{70000}}) {
    EXPECT_FALSE(logic.TakePicture("/data/big.jpg", std::string(size, 'y'), 640, 480));
    EXPECT_EQ(m_ds->picture.data, small);
    EXPECT_EQ(m_ds->picture.fileName, "640,480,photo.jpg");
    EXPECT_FALSE(m_ds->IsChanged());
  }
  ASSERT_EQ(m_fake.log.lines.size(), 2u);
  EXPECT_EQ(m_fake.log.lines[0].rfind("*Error load picture: ", 0), 0u);
  EXPECT_EQ(m_fake.messages.shown.size(), 2u);
  EXPECT_TRUE(logic.TakePicture("/data/edge.png", std::string(65535, 'z'), 1, 1));
  // The record holds 60 characters of the name.
  EXPECT_EQ(DatasetWindowLogic::IconName("/a/" + std::string(80, 'p'), 10, 20).size(), 60u);
}

TEST_F(DatasetWindowLogicTest, ToggleEditingSaysWhatItNowAllows) {
  DatasetWindowLogic logic(*m_ds);
  ASSERT_TRUE(m_ds->blockEditingAllowed);
  logic.ToggleBlockEditing();
  EXPECT_FALSE(m_ds->blockEditingAllowed);
  logic.ToggleBlockEditing();
  EXPECT_EQ(m_fake.messages.Texts(),
            (std::vector<std::string>{"Теперь редактирование (изменение) блоков запрещено. Возможен просмотр содержимого",
                                      "Теперь редактирование (изменение) блоков разрешено"}));
  EXPECT_TRUE(m_ds->IsChanged());
}

TEST_F(DatasetWindowLogicTest, NameAndCommentAreTakenTrimmedWhenTheyDiffer) {
  DatasetWindowLogic logic(*m_ds);
  EXPECT_FALSE(logic.TakeName("  Токарная обработка "));
  EXPECT_FALSE(m_ds->IsChanged());
  EXPECT_TRUE(logic.TakeName(" Расточка "));
  EXPECT_EQ(m_ds->processName, "Расточка");
  EXPECT_TRUE(logic.TakeComment("\tвторая смена "));
  EXPECT_EQ(m_ds->comment, "вторая смена");
  EXPECT_EQ(logic.DisplayName(), "Расточка");
  logic.TakeName("");
  m_ds->fileName = "/data/вал.mvl";
  EXPECT_EQ(logic.DisplayName(), "вал.mvl");
}

TEST_F(DatasetWindowLogicTest, StatusHintTellsChangesAndProtection) {
  DatasetWindowLogic logic(*m_ds);
  const std::string head = "Состояние изменения и защиты текущего набора данных: ";
  EXPECT_EQ(logic.StateHint(), head + "Нет несохраненных изменений; защита не установлена");
  Protect();
  m_ds->Touch();
  EXPECT_EQ(logic.StateHint(), head + "Имеются несохраненные изменения; доступ к некоторым свойствам НД запрещен");
  m_ds->unlocked = true;
  EXPECT_EQ(logic.StateHint(), head + "Имеются несохраненные изменения; доступ разрешен");
  logic.Saved();
  EXPECT_EQ(logic.LastAction(), "Файл сохранен");
}

TEST_F(DatasetWindowLogicTest, PropertiesWithAPasswordNeedTheResponsiblePerson) {
  Protect();
  m_ds->unlocked = true;
  m_ds->responsible.clear();
  const std::string department = m_ds->department;
  DatasetPropertiesLogic logic(*m_ds, false);
  logic.form.department = "Цех 5";
  EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::Responsible);
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"При установленном пароле необходимо указать ответственного за набор данных "
                                     "(рекомендуется указать имя и координаты для связи)"});
  EXPECT_EQ(m_ds->department, department);
  EXPECT_FALSE(m_ds->IsChanged());

  logic.form.responsible = "  Петров ";
  logic.form.askOnParameters = true;
  TInputProfileSet profiles;
  TEventSoundSet sounds;
  ConfigFile config("/nonexistent", sounds, profiles);
  EXPECT_EQ(logic.Accept(&config), DatasetPropertiesLogic::Field::None);
  EXPECT_EQ(m_ds->department, "Цех 5");
  EXPECT_EQ(m_ds->responsible, "Петров");
  EXPECT_NE(m_ds->accessFlags & access_flag::kPasswordOnParameters, 0u);
  EXPECT_TRUE(m_ds->IsChanged());
  EXPECT_EQ(History(config, HistoryList::Responsible).front(), "Петров");
  EXPECT_EQ(History(config, HistoryList::Department).front(), "Цех 5");
}

TEST_F(DatasetWindowLogicTest, PropertiesSetAPasswordWithTheResponsiblePersonTyped) {
  m_ds->responsible.clear();
  DatasetPropertiesLogic logic(*m_ds, false);
  EXPECT_EQ(logic.PasswordStateText(), "  не установлен");
  EXPECT_FALSE(logic.ProtectionEditable());
  logic.form.responsible = "Сидоров";
  m_fake.prompts.newPasswords = {{"пароль12", "пароль12"}};
  EXPECT_TRUE(logic.ChangePassword());
  EXPECT_EQ(logic.PasswordStateText(), "  установлен");
  EXPECT_TRUE(logic.ProtectionEditable());
  EXPECT_TRUE(logic.form.askOnOpen);
  // Nothing reaches the dataset before OK.
  EXPECT_EQ(m_ds->passwordHash, 0u);
  EXPECT_TRUE(m_ds->responsible.empty());
  EXPECT_FALSE(m_ds->IsChanged());
  EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::None);
  EXPECT_TRUE(PasswordMatches("ПАРОЛЬ12", m_ds->passwordHash));
  EXPECT_NE(m_ds->accessFlags & access_flag::kPasswordOnOpen, 0u);
  EXPECT_TRUE(m_ds->unlocked);  // set here: entered for the rest of the run
  EXPECT_EQ(m_ds->responsible, "Сидоров");
}

TEST_F(DatasetWindowLogicTest, ProtectionSettingsOfAProtectedDatasetOpenWithItsPassword) {
  Protect(access_flag::kPasswordOnBlocks);
  DatasetPropertiesLogic logic(*m_ds, false);
  EXPECT_FALSE(logic.ProtectionEditable());
  logic.form.askOnBlocks = false;  // not editable: kept as it was
  EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::None);
  EXPECT_NE(m_ds->accessFlags & access_flag::kPasswordOnBlocks, 0u);
  EXPECT_FALSE(logic.EnterPassword());  // no password given
  m_fake.prompts.passwords = {"неверно", kPassword};
  EXPECT_TRUE(logic.EnterPassword());
  EXPECT_EQ(m_fake.prompts.passwordPrompts.back().text, "Для доступа к настройкам защиты набора требуется указать пароль");
  EXPECT_TRUE(logic.ProtectionEditable());
  EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::None);
  EXPECT_EQ(m_ds->accessFlags & access_flag::kPasswordOnBlocks, 0u);
}

TEST_F(DatasetWindowLogicTest, PropertiesInDebugModeCheckTheIdentifierAndTheExampleMark) {
  DatasetPropertiesLogic logic(*m_ds, true);
  const std::int32_t id = m_ds->id;
  for (const char* bad : {"", "99999999", "1000000000", "abc", "123456789.5"}) {
    m_fake.messages.shown.clear();
    logic.form.idText = bad;
    EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::Identifier) << bad;
    EXPECT_EQ(m_fake.messages.shown.size(), 1u) << bad;
    EXPECT_EQ(m_ds->id, id);
  }
  logic.form.idText = "123456789";
  logic.form.example = true;
  EXPECT_EQ(logic.Accept(nullptr), DatasetPropertiesLogic::Field::None);
  EXPECT_EQ(m_ds->id, 123456789);
  EXPECT_TRUE(m_ds->IsExample());
}

TEST_F(DatasetWindowLogicTest, AttachmentsEmbedSmallFilesOnly) {
  DatasetPropertiesLogic logic(*m_ds, false);
  const std::string small(100, 'a');
  const std::string big(65521, 'b');
  logic.AddAttachment("/data/чертеж.png", small.size(), 45000, &small);
  logic.AddAttachment("/data/отчет.pdf", big.size(), 45001, &big);
  ASSERT_EQ(logic.form.attachments.size(), 2u);
  const TDatasetImage& picture = logic.form.attachments[0];
  EXPECT_EQ(picture.title, "чертеж.png");
  EXPECT_EQ(picture.folder, "/data");
  EXPECT_EQ(picture.content, small);
  EXPECT_EQ(picture.flags, TDatasetImage::kEmbedded);
  EXPECT_EQ(picture.type, 1);
  const TDatasetImage& document = logic.form.attachments[1];
  EXPECT_TRUE(document.content.empty());
  EXPECT_EQ(document.flags, 0);
  EXPECT_EQ(document.fileSize, 65521);
  EXPECT_EQ(logic.AttachmentPath(1), "/data/отчет.pdf");
  EXPECT_FALSE(logic.RenameAttachment(0, "  "));
  EXPECT_TRUE(logic.RenameAttachment(0, " Чертеж вала " + std::string(100, 'x')));
  EXPECT_EQ(logic.form.attachments[0].title.rfind("Чертеж вала x", 0), 0u);
  EXPECT_EQ(CharCount(logic.form.attachments[0].title), TDatasetImage::kTitleMax);
  EXPECT_TRUE(m_ds->attachments.empty());  // until OK
  logic.Accept(nullptr);
  EXPECT_EQ(m_ds->attachments.size(), 2u);
  EXPECT_TRUE(m_ds->IsChanged());
}

TEST_F(DatasetWindowLogicTest, DeletingAnAttachmentAsksFirst) {
  TDatasetImage image;
  image.title = "Чертеж";
  m_ds->attachments.push_back(image);
  DatasetPropertiesLogic logic(*m_ds, false);
  EXPECT_FALSE(logic.DeleteAttachment(0));
  EXPECT_FALSE(logic.DeleteAttachment(5));
  m_fake.messages.answers = {true};
  EXPECT_TRUE(logic.DeleteAttachment(0));
  EXPECT_EQ(m_fake.messages.Texts(), (std::vector<std::string>{"Вы действительно желаете удалить рисунок \"Чертеж\" ?",
                                                               "Вы действительно желаете удалить рисунок \"Чертеж\" ?"}));
  EXPECT_EQ(m_ds->attachments.size(), 1u);  // until OK
  logic.Accept(nullptr);
  EXPECT_TRUE(m_ds->attachments.empty());
}

}  // namespace
}  // namespace mv
