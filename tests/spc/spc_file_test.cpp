#include "spc/spc_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "core/byte_order.h"
#include "core/options.h"
#include "spc/mvl_builder.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::MvlBuilder;

constexpr std::size_t kHeaderEnd = 8 + 11836;

// Three parameters (one alternative, one relative with a scale and a class), two blocks,
// samples with texts, a point with its own date.
void Fill(TDatasetSPC& ds) {
  ds.processName = "Токарная обработка вала";
  ds.comment = "Участок 5";
  ds.department = "Цех 2";
  ds.detail = "Вал 12.345";
  ds.operation = "Токарная";
  ds.note = "Строка 1\r\nСтрока 2";
  ds.responsible = "Иванов И.И.";
  ds.scales.Add("Длина", "мм");
  ds.classes.Add("Критичный", "Влияет на сборку");
  ds.settings.reportKinds.push_back(std::string(10088, '\x11'));
  ds.settings.attestationKinds = std::string(1571 * 2, '\x22');
  ds.settings.autoFill.fill(0x33);
  ds.settings.correlationByte = 7;
  ds.columnWidths[184] = 99;
  TDatasetImage image;
  image.title = "Чертёж";
  image.folder = "/nowhere";
  image.fileName = "drawing.png";
  image.flags = TDatasetImage::kEmbedded;
  image.content = "PNG bytes";
  ds.attachments.push_back(image);

  TSPCParameter diameter;
  diameter.name = "Диаметр";
  diameter.shortName = "D";
  diameter.unit = "мм";
  diameter.decimals = 3;
  diameter.SetTolerance(19.987, 20.0, 20.0);
  diameter.scaleId = 1;
  diameter.classId = 1;
  diameter.SetFlag(param_flag::kRelative, true);
  diameter.SetFlag(param_flag::kBase, true);
  diameter.SetFlag(param_flag::kNegate, true);
  diameter.baseValue = 20;
  diameter.multiplierCode = 3;
  ds.SetParameter(0, 0, diameter);
  TSPCParameter length;
  length.name = "Длина";
  length.decimals = 2;
  length.SetDataLimits(0.0, 500.0, 120.0);
  length.SetFlag(param_flag::kLrl, true);
  length.lrl = 119.5;
  ds.SetParameter(0, 0, length);
  TSPCParameter defects;
  defects.kind = DataKind::Attr;
  defects.name = "Брак";
  defects.SetTolerance(std::nullopt, 0.002, std::nullopt);
  defects.SetFlag(param_flag::kNonconformities, true);
  ds.SetParameter(0, 0, defects);

  const int b1 = ds.AddBlock(0, "Январь", SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 5,
                             DataKind::Var, "раз в час", "первая смена");
  ds.NumberBlock(b1);
  TSPCBlock& block = *ds.Block(b1);
  for (int s = 1; s <= 3; ++s) {
    ASSERT_TRUE(block.AddSample(s == 1 ? std::string(150, 'n') : "", s == 2 ? "Смена резца" : "", s != 3));
    TSPCSample& sample = *block.Sample(s);
    ASSERT_TRUE(sample.AddPoints(4));
    for (int p = 1; p <= 4; ++p) {
      ds.SetValue(b1, s, p, 1, 19.99 + 0.001 * p);
      if (p != 2) ds.SetValue(b1, s, p, 2, 120.0 + 0.01 * s);
    }
  }
  block.Sample(1)->Point(1)->SetFlags(block.Sample(1)->Point(1)->Flags() | point_flag::kOwnDate | point_flag::kExcluded);
  block.Sample(1)->Point(1)->SetDateTime(45352.25);
  const int b2 = ds.AddBlock(0, "Брак", SamplingMode::Individual, 0, 0, DataKind::Attr, "", "");
  ds.NumberBlock(b2);
  ASSERT_TRUE(ds.Block(b2)->AddSample("", "", true));
  ds.Block(b2)->Sample(1)->sampleSize = 50;
  ASSERT_TRUE(ds.Block(b2)->Sample(1)->AddPoint());
  ds.SetValue(b2, 1, 1, 3, 2);
  ds.ComputeAllStats();
}

void ExpectSameDatasets(const TDatasetSPC& a, const TDatasetSPC& b) {
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(a.processName, b.processName);
  EXPECT_EQ(a.comment, b.comment);
  EXPECT_EQ(a.department, b.department);
  EXPECT_EQ(a.detail, b.detail);
  EXPECT_EQ(a.operation, b.operation);
  EXPECT_EQ(a.note, b.note);
  EXPECT_EQ(a.responsible, b.responsible);
  EXPECT_EQ(a.creationNote, b.creationNote);
  EXPECT_EQ(a.columnWidths, b.columnWidths);
  EXPECT_EQ(a.nextBlockNumber, b.nextBlockNumber);
  EXPECT_EQ(a.settings.reportKinds, b.settings.reportKinds);
  EXPECT_EQ(a.settings.attestationKinds, b.settings.attestationKinds);
  EXPECT_EQ(a.settings.autoFill, b.settings.autoFill);
  EXPECT_EQ(a.settings.correlationByte, b.settings.correlationByte);
  ASSERT_EQ(a.attachments.size(), b.attachments.size());
  for (std::size_t i = 0; i < a.attachments.size(); ++i) {
    EXPECT_EQ(a.attachments[i].title, b.attachments[i].title);
    EXPECT_EQ(a.attachments[i].folder, b.attachments[i].folder);
    EXPECT_EQ(a.attachments[i].fileName, b.attachments[i].fileName);
    EXPECT_EQ(a.attachments[i].content, b.attachments[i].content);
  }
  ASSERT_EQ(a.scales.Count(), b.scales.Count());
  for (int i = 1; i <= a.scales.Count(); ++i) EXPECT_EQ(a.scales.Get(i)->Text(), b.scales.Get(i)->Text());
  ASSERT_EQ(a.classes.Count(), b.classes.Count());
  for (int i = 1; i <= a.classes.Count(); ++i) {
    EXPECT_EQ(a.classes.Get(i)->id, b.classes.Get(i)->id);
    EXPECT_EQ(a.classes.Get(i)->name, b.classes.Get(i)->name);
    EXPECT_EQ(a.classes.Get(i)->note, b.classes.Get(i)->note);
  }
  ASSERT_EQ(a.ParameterCount(), b.ParameterCount());
  for (int i = 1; i <= a.ParameterCount(); ++i) {
    SCOPED_TRACE("parameter " + std::to_string(i));
    const TSPCParameter& p = *a.Parameter(i);
    const TSPCParameter& q = *b.Parameter(i);
    EXPECT_EQ(p.LogText(), q.LogText());
    EXPECT_EQ(p.Flags(), q.Flags());
    EXPECT_EQ(p.shortName, q.shortName);
    EXPECT_EQ(p.scalePosition, q.scalePosition);
    EXPECT_EQ(p.classPosition, q.classPosition);
    EXPECT_TRUE(p.tolerance.SameAs(q.tolerance));
    EXPECT_TRUE(p.dataLimits.SameAs(q.dataLimits));
    EXPECT_EQ(p.Lrl(), q.Lrl());
    EXPECT_EQ(p.ToAbsolute(7), q.ToAbsolute(7));
  }
  ASSERT_EQ(a.BlockCount(), b.BlockCount());
  for (int i = 1; i <= a.BlockCount(); ++i) {
    SCOPED_TRACE("block " + std::to_string(i));
    const TSPCBlock& x = *a.Block(i);
    const TSPCBlock& y = *b.Block(i);
    EXPECT_EQ(x.LogText(), y.LogText());
    EXPECT_EQ(x.mode, y.mode);
    EXPECT_EQ(x.fixedSampleSize, y.fixedSampleSize);
    EXPECT_EQ(x.frequency, y.frequency);
    EXPECT_EQ(x.created, y.created);
    EXPECT_EQ(x.modified, y.modified);
    ASSERT_EQ(x.SampleCount(), y.SampleCount());
    for (int s = 1; s <= x.SampleCount(); ++s) {
      const TSPCSample& u = *x.Sample(s);
      const TSPCSample& v = *y.Sample(s);
      EXPECT_EQ(u.flags, v.flags);
      EXPECT_EQ(u.dateTime, v.dateTime);
      EXPECT_EQ(u.Note(), v.Note());
      EXPECT_EQ(u.Event(), v.Event());
      EXPECT_EQ(u.sampleSize, v.sampleSize);
      ASSERT_EQ(u.PointCount(), v.PointCount());
      for (int p = 1; p <= u.PointCount(); ++p) {
        EXPECT_EQ(u.Point(p)->Flags(), v.Point(p)->Flags());
        EXPECT_EQ(u.Point(p)->DateTime(), v.Point(p)->DateTime());
        for (int k = 1; k <= a.ParameterCount(); ++k) {
          EXPECT_EQ(u.Point(p)->ValueFlags(k), v.Point(p)->ValueFlags(k));
          EXPECT_EQ(u.Point(p)->Value(k), v.Point(p)->Value(k));
        }
      }
      for (int k = 0; k < a.ParameterCount(); ++k) EXPECT_EQ(u.Stats(k + 1).mean, v.Stats(k + 1).mean);
    }
  }
}

std::string Messages(const test::FakePlatform& fake) {
  std::string all;
  for (const auto& m : fake.messages.shown) all += m.text + "\n";
  return all;
}

TEST(SpcFile, BackupName) {
  EXPECT_EQ(BackupName("d/a.mvl"), "d/a.~mv");
  EXPECT_EQ(BackupName("/x/данные.MVL"), "/x/данные.~MV");
  EXPECT_EQ(BackupName("d/a"), "d/a.~");
}

TEST(SpcFile, EmptyDatasetIsPrefixAndHeaderOnly) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  const std::string bytes = EncodeSpcFile(ds, "/tmp/a.mvl", 45352.5);
  ASSERT_EQ(bytes.size(), 11844u);
  EXPECT_EQ(bytes.substr(0, 6), std::string("MVL \x06\x00", 6));
  EXPECT_EQ(GetU16(bytes, 6), CheckValue(std::string_view(bytes).substr(8)));
  EXPECT_EQ(GetI16(bytes, 8), 50);
  EXPECT_EQ(GetI16(bytes, 8 + 5972), 185);
  EXPECT_EQ(GetU8(bytes, 8 + 3316), 1);
  EXPECT_EQ(bytes.substr(8 + 6, 4), "RWB ");
  const SpcReadResult back = ReadSpcBytes(bytes, "a.mvl");
  ASSERT_TRUE(back.Ok()) << back.message;
  ExpectSameDatasets(ds, *back.dataset);
}

TEST(SpcFile, RoundTripKeepsEveryStoredField) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  Fill(ds);
  ASSERT_TRUE(fake.messages.shown.empty()) << Messages(fake);
  const std::string bytes = EncodeSpcFile(ds, "/tmp/a.mvl", 45352.5);
  const SpcReadResult back = ReadSpcBytes(bytes, "a.mvl");
  ASSERT_TRUE(back.Ok()) << back.message;
  ExpectSameDatasets(ds, *back.dataset);
  EXPECT_TRUE(fake.messages.shown.empty()) << Messages(fake);
  // And the copy writes the same bytes again (its save counter already counts the save).
  EXPECT_EQ(back.dataset->saveCounter, ds.saveCounter + 1);
  back.dataset->saveCounter = ds.saveCounter;
  EXPECT_TRUE(EncodeSpcFile(*back.dataset, "/tmp/a.mvl", 45352.5) == bytes);
}

TEST(SpcFile, PointsAndSampleTextsTakeTheirDocumentedSizes) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(ds.AddParameter());
  const int b = ds.AddBlock(1, "Б", SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  const std::size_t base = EncodeSpcFile(ds, "a.mvl", 0).size();
  ASSERT_TRUE(ds.Block(b)->AddSample("", "", true));
  const std::size_t withSample = EncodeSpcFile(ds, "a.mvl", 0).size();
  EXPECT_EQ(withSample - base, 32u);
  TSPCSample& s = *ds.Block(b)->Sample(1);
  ASSERT_TRUE(s.AddPoint());
  const std::size_t withPoint = EncodeSpcFile(ds, "a.mvl", 0).size();
  EXPECT_EQ(withPoint - withSample, 6u + 36u);
  s.Point(1)->SetFlags(s.Point(1)->Flags() | point_flag::kOwnDate);
  EXPECT_EQ(EncodeSpcFile(ds, "a.mvl", 0).size() - withSample, 6u + 8u + 36u);
  s.Point(1)->SetFlags(0);
  s.SetNote(std::string(150, 'x'));
  EXPECT_EQ(EncodeSpcFile(ds, "a.mvl", 0).size() - withPoint, 151u);
}

TEST(SpcFile, RefusedAndDamagedFilesSayWhatAndWhere) {
  test::FakePlatform fake;
  MvlBuilder builder;
  builder.HeaderI16(242, 3);
  const std::string p1 = builder.Parameter(11, "А", 1);
  std::string p2 = builder.Parameter(12, "Б", 2);
  p2[0] = 'X';
  builder.Body(p1).Body(p2).Body(builder.Parameter(13, "В", 3));
  const std::size_t p2Offset = kHeaderEnd + 514;

  std::string headerChanged = MvlBuilder().Build();
  headerChanged[100] ^= 1;
  std::string badSignature = MvlBuilder().Build();
  badSignature.replace(0, 4, "XYZ ");
  MvlBuilder truncatedBuilder;
  truncatedBuilder.HeaderI16(242, 1).Body(truncatedBuilder.Parameter(1, "А", 1).substr(0, 100));

  const struct {
    const char* what;
    std::string bytes;
    std::string message;
    std::string details;
  } kCases[] = {
      {"header byte changed", headerChanged, "Файл a.mvl поврежден - основной заголовок  (смещение 8=00000008h)", ""},
      {"parameter marker", builder.Build(),
       "Файл a.mvl поврежден - параметр 2  (смещение " + std::to_string(p2Offset) + "=" +
           (p2Offset == 12358 ? std::string("00003046") : std::string("?")) + "h)",
       ""},
      {"truncated", truncatedBuilder.Build(),
       "Сбой при чтении файла (смещение 11844=00002E44h)\r\na.mvl\r\n\r\nфайл кончается раньше своего содержимого", ""},
      {"empty", "", "Сбой при чтении файла (смещение 0)\r\na.mvl\r\n\r\nфайл кончается раньше своего содержимого", ""},
      {"short plain text", "abc\n",
       "Сбой при чтении файла (смещение 0)\r\na.mvl\r\n\r\nфайл кончается раньше своего содержимого", ""},
      {"signature", badSignature, "Неизвестный формат файла\r\na.mvl", "205A5958h"},
      {"version 7", MvlBuilder().Build(7),
       "Незагружаемая версия формата файла данных.\r\nРекомендуется обновить систему Morvalen",
       std::string("Файл данных a.mvl имеет версию формата 7. Текущая система Morvalen ") + MV_VERSION +
           " способна загружать файлы версий с 6 по 6"},
      {"version 5", MvlBuilder().Build(5),
       "Незагружаемая версия формата файла данных.\r\nРекомендуется обновить систему Morvalen",
       std::string("Файл данных a.mvl имеет версию формата 5. Текущая система Morvalen ") + MV_VERSION +
           " способна загружать файлы версий с 6 по 6"},
      {"21 parameters", MvlBuilder().HeaderI16(242, 21).Build(),
       "Количество параметров (21) в файловом наборе данных\r\na.mvl\r\nпревышает максимально возможное (20) для "
       "данной версии Morvalen",
       ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const SpcReadResult r = ReadSpcBytes(c.bytes, "a.mvl");
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.details, c.details);
  }
}

TEST(SpcFile, CountsAndCodesBeyondTheirCapacityAreDamage) {
  test::FakePlatform fake;
  const auto withParameter = [](auto change) {
    MvlBuilder b;
    std::string p = b.Parameter(1, "А", 1);
    change(p);
    return b.HeaderI16(242, 1).Body(p).Build();
  };
  const auto withBlock = [](std::int16_t samples, std::int16_t points) {
    MvlBuilder b;
    b.HeaderI16(242, 1).HeaderI16(244, 1).Body(b.Parameter(1, "А", 1)).Body(b.Block(1, "Б", samples));
    if (samples == 1) b.Body(b.Sample(1, points));
    return b.Build();
  };
  const std::string damagedParam = "Файл a.mvl поврежден - параметр 1  (смещение 11844=00002E44h)";
  const std::string damagedBlock = "Файл a.mvl поврежден - блок 1  (смещение 12358=00003046h)";
  const struct {
    const char* what;
    std::string bytes;
    std::string message;
  } kCases[] = {
      {"multiplier code 9", withParameter([](std::string& p) { p[387] = 9; }), damagedParam},
      {"kind 3", withParameter([](std::string& p) { p[435] = 3; }), damagedParam},
      {"scale beyond the scales", withParameter([](std::string& p) { p[353] = 1; }), damagedParam},
      {"30000 samples", withBlock(30000, 0), damagedBlock},
      {"negative samples", withBlock(-1, 0), damagedBlock},
      {"201 points", withBlock(1, 201),
       "Файл a.mvl поврежден - блок 1, выборка 1  (смещение 12626=00003152h)"},
      {"201 blocks", MvlBuilder().HeaderI16(244, 201).Build(),
       "Файл a.mvl поврежден - основной заголовок  (смещение 8=00000008h)"},
      {"21 scales", MvlBuilder().HeaderI16(1779, 21).Build(),
       "Файл a.mvl поврежден - основной заголовок  (смещение 8=00000008h)"},
      {"negative extension", MvlBuilder().HeaderI16(5332, -4).Build(),
       "Файл a.mvl поврежден - основной заголовок  (смещение 8=00000008h)"},
      {"huge text length", MvlBuilder().HeaderI16(5324, -1).Build(),
       "Сбой при чтении файла (смещение 11844=00002E44h)\r\na.mvl\r\n\r\nфайл кончается раньше своего содержимого"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const SpcReadResult r = ReadSpcBytes(c.bytes, "a.mvl");
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.message, c.message);
  }
}

TEST(SpcFile, IdentifiersMissingInTheFileAreGiven) {
  test::FakePlatform fake;
  MvlBuilder b;
  b.HeaderI16(242, 2).HeaderI16(244, 3).HeaderI16(7768, 4);
  b.Body(b.Parameter(0, "А", 1)).Body(b.Parameter(0, "Б", 2));
  b.Body(b.Block(0, "Б1", 1)).Body(b.Sample(1, 2, "примечание"));
  b.Body(MvlBuilder::Point({1.5, 2.5})).Body(MvlBuilder::Point({3.5, 4.5}));
  b.Body(b.Block(9, "Б2", 0)).Body(b.Block(0, "Б3", 0));
  const SpcReadResult r = ReadSpcBytes(b.Build(), "a.mvl");
  ASSERT_TRUE(r.Ok()) << r.message;
  const TDatasetSPC& ds = *r.dataset;
  EXPECT_EQ(ds.Parameter(1)->id, 1);
  EXPECT_EQ(ds.Parameter(2)->id, 2);
  // Blocks without an identifier are numbered above every identifier in the file.
  EXPECT_EQ(ds.Block(1)->id, 10);
  EXPECT_EQ(ds.Block(2)->id, 9);
  EXPECT_EQ(ds.Block(3)->id, 11);
  EXPECT_EQ(ds.nextBlockNumber, 11);
  EXPECT_EQ(ds.Block(1)->Sample(1)->Note(), "примечание");
  EXPECT_EQ(ds.GetValue(1, 1, 2, 2), 4.5);
  EXPECT_EQ(ds.Block(1)->Sample(1)->Stats(1).mean, 2.5);
}

TEST(SpcFile, ClassesChunkIsChecked) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.classes.Add("Критичный", "");
  ds.classes.Add("Основной", "");
  const std::string good = EncodeSpcFile(ds, "a.mvl", 0);
  ASSERT_TRUE(ReadSpcBytes(good, "a.mvl").Ok());
  const std::size_t chunk = kHeaderEnd;
  ASSERT_EQ(good.substr(chunk, 4), "[UDB");
  EXPECT_EQ(good.size(), chunk + 32 + 32 + 2 * 256);
  const std::string damaged = "Файл a.mvl поврежден - классы параметров  (смещение 11844=00002E44h)";
  std::string badContent = good;
  badContent[chunk + 32 + 32 + 10] ^= 1;  // a name byte: the check value no longer fits
  std::string badCode = good;
  badCode[chunk + 6] = 1;
  for (const std::string& bytes : {badContent, badCode}) EXPECT_EQ(ReadSpcBytes(bytes, "a.mvl").message, damaged);
}

TEST(SpcFile, LoadingCanBeStoppedBetweenBlocks) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  Fill(ds);
  test::TempFolder dir;
  const std::string path = dir.Path("a.mvl");
  std::string error;
  ASSERT_TRUE(WriteSpcFile(ds, path, error)) << error;
  ASSERT_TRUE(WriteSpcFile(ds, BackupName(path), error)) << error;
  fake.progress.titles.clear();  // those of the two saves
  fake.progress.abortAfterSteps = 5;  // header, 3 parameters, the first block
  EXPECT_EQ(LoadDatasetFile(path), nullptr);
  ASSERT_EQ(fake.messages.shown.size(), 1u);  // no offer of the backup after a stop
  EXPECT_EQ(fake.messages.shown[0].text, "Загрузка файла прервана пользователем");
  EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Info);
  EXPECT_EQ(fake.progress.titles, (std::vector<std::string>{"Загрузка файла"}));
  EXPECT_TRUE(fake.progress.ended);
}

TEST(SpcFile, SavingUnderAnotherNameGivesANewIdentifier) {
  test::FakePlatform fake;
  test::TempFolder dir;
  TDatasetSPC ds;
  ds.accessFlags |= access_flag::kExample;
  fake.fileDialogs.choices.push_back(dir.Path("first.smp"));  // offered as .mvl
  ASSERT_TRUE(SaveDatasetFile(ds, false));
  EXPECT_EQ(ds.fileName, dir.Path("first.mvl"));
  EXPECT_FALSE(ds.IsExample());
  EXPECT_FALSE(ds.IsChanged());
  EXPECT_EQ(ds.saveCounter, 1);
  const std::int32_t id = ds.id;
  ASSERT_TRUE(SaveDatasetFile(ds, false));  // same name, no dialog
  EXPECT_EQ(ds.id, id);
  EXPECT_EQ(ds.saveCounter, 2);
  fake.fileDialogs.choices.push_back(dir.Path("second.mvl"));
  ASSERT_TRUE(SaveDatasetFile(ds, true));
  EXPECT_NE(ds.id, id);
  EXPECT_EQ(fake.fileDialogs.asked.size(), 2u);
  EXPECT_EQ(fake.fileDialogs.asked[0].filter, "Файл данных SPC (*.mvl)");
  const auto loaded = LoadDatasetFile(dir.Path("second.mvl"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->id, ds.id);
  EXPECT_EQ(loaded->saveCounter, 3);
  fake.fileDialogs.choices.push_back(std::nullopt);
  EXPECT_FALSE(SaveDatasetFile(ds, true));  // cancelled
}

TEST(SpcFile, ChangedOnDiskSinceLoadingAsksFirst) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("a.mvl");
  TDatasetSPC original;
  std::string error;
  ASSERT_TRUE(WriteSpcFile(original, path, error));
  auto ds = LoadDatasetFile(path);
  ASSERT_NE(ds, nullptr);
  ds->MarkSaved();
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  fake.messages.answers = {false};
  fake.fileDialogs.choices.push_back(std::nullopt);
  EXPECT_FALSE(SaveDatasetFile(*ds, false));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Файл " + path + "\r\n был кем-то изменен после загрузки", 0), 0u);
  EXPECT_EQ(fake.fileDialogs.asked.size(), 1u);  // "No" leads to the dialog
  fake.messages.answers = {true};
  EXPECT_TRUE(SaveDatasetFile(*ds, false));
}

TEST(SpcFile, BackupKeepsThePreviousSaveAndRescuesADamagedFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("a.mvl");
  Options().keepPreviousDataFile = true;
  TDatasetSPC ds;
  ds.processName = "первый";
  fake.fileDialogs.choices.push_back(path);
  ASSERT_TRUE(SaveDatasetFile(ds, false));
  const std::string first = test::ReadFileBytes(path);
  ds.processName = "второй";
  ds.Touch();
  ASSERT_TRUE(SaveDatasetFile(ds, false));
  Options().keepPreviousDataFile = false;
  EXPECT_EQ(test::ReadFileBytes(BackupName(path)), first);
  EXPECT_NE(fake.log.lines.back().find(", BAK preserved"), std::string::npos) << fake.log.lines.back();

  std::string damaged = test::ReadFileBytes(path);
  damaged[20] ^= 1;
  test::WriteFileBytes(path, damaged);
  fake.messages.answers = {true};
  const auto loaded = LoadDatasetFile(path);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->processName, "первый");
  EXPECT_TRUE(loaded->fromBackup);
  EXPECT_EQ(loaded->fileName, path);
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  EXPECT_EQ(fake.messages.shown[0].text, "Файл " + path + " поврежден - основной заголовок  (смещение 8=00000008h)");
  EXPECT_EQ(fake.messages.shown[1].text.rfind("Неудачно завершилась попытка открытия файла\r\n" + path +
                                                  ",\r\nно существует прежняя версия данного файла\r\n" +
                                                  BackupName(path) + "\r\n",
                                              0),
            0u);
  EXPECT_NE(fake.messages.shown[1].text.find("\r\n\r\nЗагрузить прежнюю версию?"), std::string::npos);
  EXPECT_EQ(fake.log.lines[fake.log.lines.size() - 2].rfind("Try to load BAK file " + BackupName(path) + ", ", 0), 0u);
  EXPECT_NE(fake.log.lines.back().find(", from BAK"), std::string::npos);
}

TEST(SpcFile, FailedWriteLeavesThePreviousFile) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("a.mvl");
  TDatasetSPC ds;
  fake.fileDialogs.choices.push_back(path);
  ASSERT_TRUE(SaveDatasetFile(ds, false));
  const std::string before = test::ReadFileBytes(path);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(ds.AddParameter());
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 12000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool ok = SaveDatasetFile(ds, false);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(ds.IsChanged());
  EXPECT_EQ(test::ReadFileBytes(path), before);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text.rfind("Сбой при записи файла\r\n" + path + "\r\n\r\n", 0), 0u);
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "SPC file");
}

TEST(SpcFile, MissingFile) {
  test::FakePlatform fake;
  EXPECT_EQ(LoadDatasetFile("/no/such/file.mvl"), nullptr);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Файл не найден:\r\n/no/such/file.mvl");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, "LoadFile_MVL");
}

}  // namespace
}  // namespace mv
