// Encoding and decoding of the SPC data file. The reader parses the whole file from memory;
// every count and length is checked against its capacity and against the bytes left before
// anything is allocated or indexed.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/numbers.h"
#include "core/short_text.h"
#include "core/text.h"
#include "platform/progress.h"
#include "platform/services.h"
#include "spc/spc_file.h"
#include "spc/spc_file_internal.h"
#include "spc/spc_file_layout.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using namespace mvl;

// Raw texts have their length in the header (u16).
std::string RawText(std::string_view utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > 0xFFFF) bytes.resize(0xFFFF);
  return bytes;
}

template <std::size_t N>
void PutArea(std::string& b, std::size_t off, const std::array<std::uint8_t, N>& area) {
  std::memcpy(b.data() + off, area.data(), N);
}

// A date-time as the file system packs it (DOS date and time); 0 before 1980.
std::int32_t PackedFileDate(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980) return 0;
  const auto packed =
      static_cast<std::uint32_t>((year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | second / 2);
  return static_cast<std::int32_t>(packed);
}

// The date of the program's own file, or the one given in its place.
std::int32_t ProgramFileDate(std::optional<TDateTime> given) {
  if (given) {
    const CalendarDate d = DecodeDate(*given);
    const ClockTime t = DecodeTime(*given);
    return PackedFileDate(d.year, d.month, d.day, t.hour, t.minute, t.second);
  }
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  struct stat info {};
  if (ec || ::stat(exe.c_str(), &info) != 0) return 0;
  std::tm t{};
  const std::time_t secs = info.st_mtime;
  if (!localtime_r(&secs, &t)) return 0;
  return PackedFileDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

std::string EncodeStamp(TDateTime saveTime, std::optional<TDateTime> programDate) {
  std::string s(stamp::kSize, '\0');
  std::memcpy(s.data(), stamp::kMarker, 4);
  PutU8(s, stamp::kVersion, 1);
  PutShortText(s, stamp::kProgram, std::string("Morvalen ") + MV_VERSION, 50);
  PutI32(s, stamp::kProgramFileDate, ProgramFileDate(programDate));
  PutF64(s, stamp::kSaveTime, saveTime);
  PutI16(s, stamp::kRelease, kSpcWriterRelease);
  PutI16(s, stamp::kBuild, stamp::kBuildNumber);
  return s;
}

std::string EncodeHeader(const TDatasetSPC& ds, const std::string& fileName, TDateTime saveTime,
                         std::optional<TDateTime> programDate, const std::array<std::string, 5>& texts) {
  std::string h(hdr::kSize, '\0');
  PutI16(h, hdr::kRelease, kSpcWriterRelease);
  PutI32(h, hdr::kSaveCounter, NextSaveCounter(ds.saveCounter));
  const std::string st = EncodeStamp(saveTime, programDate);
  std::memcpy(h.data() + hdr::kStamp, st.data(), st.size());
  PutI32(h, hdr::kDatasetId, ds.id);
  PutU32(h, hdr::kAccessFlags, ds.accessFlags);
  PutU32(h, hdr::kPasswordHash, ds.passwordHash);
  PutShortText(h, hdr::kCreationNote, ds.creationNote, 60);
  PutI16(h, hdr::kParamCount, static_cast<std::int16_t>(ds.ParameterCount()));
  PutI16(h, hdr::kBlockCount, static_cast<std::int16_t>(ds.BlockCount()));
  for (std::size_t k = 0; k < 2; ++k) {
    const auto& list = ds.BlockList(k == 0 ? DataKind::Var : DataKind::Attr);
    const std::size_t base = hdr::kBlockLists + k * hdr::kBlockListEntries * 2;
    const std::size_t n = std::min(list.size(), hdr::kBlockListEntries - 1);
    PutI16(h, base, static_cast<std::int16_t>(n));
    for (std::size_t i = 0; i < n; ++i) PutI16(h, base + 2 * (i + 1), static_cast<std::int16_t>(list[i]));
  }
  PutShortText(h, hdr::kFileName, fileName, 255);
  PutShortText(h, hdr::kProcessName, ds.processName, 100);
  PutShortText(h, hdr::kComment, ds.comment, 250);
  PutShortText(h, hdr::kResponsible, ds.responsible, 100);
  PutU8(h, hdr::kScaleCount, static_cast<std::uint8_t>(ds.scales.Count()));
  for (int i = 1; i <= ds.scales.Count(); ++i) {
    const std::size_t off = hdr::kScales + static_cast<std::size_t>(i - 1) * hdr::kScaleEntry;
    PutShortText(h, off, ds.scales.Get(i)->name, 40);
    PutShortText(h, off + hdr::kScaleUnit, ds.scales.Get(i)->unit, 10);
  }
  const auto& set = ds.settings;
  PutI16(h, hdr::kReportCount, static_cast<std::int16_t>(std::min(set.reportKinds.size(), kMaxReportKinds)));
  PutArea(h, hdr::kDatasetSettings, set.datasetSettings);
  PutI16(h, hdr::kAttestCount, AttestationCount(ds));
  PutU8(h, hdr::kBlockEditing, ds.blockEditingAllowed ? 1 : 0);
  PutU8(h, hdr::kActivePage, set.activePage);
  PutArea(h, hdr::kEditingOptions, set.editingOptions);
  PutArea(h, hdr::kSeparation, set.separationOptions);
  PutArea(h, hdr::kMerging, set.mergingOptions);
  PutU8(h, hdr::kMergingReserved, set.mergingReserved);
  PutArea(h, hdr::kClipboard, set.clipboardColumns);
  if (set.hasFilters) PutArea(h, hdr::kFilters, set.filters);
  PutArea(h, hdr::kCorrelation, set.correlation);
  PutU8(h, hdr::kCorrelationByte, set.correlationByte);
  const ProcessPicture& pic = ds.picture;
  PutShortText(h, hdr::kIconName, pic.fileName, 60);
  PutU8(h, hdr::kIconDisplay, pic.show);
  PutU8(h, hdr::kIconDisplay + 1, pic.enlarge);
  PutU8(h, hdr::kIconDisplay + 2, pic.keepProportions);
  PutU8(h, hdr::kIconDisplay + 3, pic.transparent);
  std::memcpy(h.data() + hdr::kIconDisplay + 4, pic.reserved.data(), pic.reserved.size());
  PutU16(h, hdr::kIconLength, static_cast<std::uint16_t>(texts[1].size()));
  PutU8(h, hdr::kAttachmentCount, static_cast<std::uint8_t>(std::min<std::size_t>(ds.attachments.size(), 255)));
  PutU16(h, hdr::kNoteLength, static_cast<std::uint16_t>(texts[0].size()));
  PutU16(h, hdr::kDepartmentLength, static_cast<std::uint16_t>(texts[2].size()));
  PutU16(h, hdr::kDetailLength, static_cast<std::uint16_t>(texts[3].size()));
  PutU16(h, hdr::kOperationLength, static_cast<std::uint16_t>(texts[4].size()));
  for (std::size_t i = 0; i < ds.columnWidths.size(); ++i) PutI16(h, hdr::kColumnWidths + 2 * i, ds.columnWidths[i]);
  PutI16(h, hdr::kColumnCount, static_cast<std::int16_t>(ds.columnWidths.size()));
  PutArea(h, hdr::kAutoFill, set.autoFill);
  PutI16(h, hdr::kAutoFillSetting, set.autoFillSetting);
  PutArea(h, hdr::kParamListState, set.parameterListState);
  PutI16(h, hdr::kNextBlock, ds.nextBlockNumber);
  PutI16(h, hdr::kClassCount, static_cast<std::int16_t>(ds.classes.Count()));
  return h;
}

std::string EncodeAttachment(const TDatasetImage& a) {
  std::string fullName = Utf8ToCp1251(a.folder.empty() ? a.fileName : a.folder + "\\" + a.fileName);
  if (fullName.size() > 0xFFFF) fullName.resize(0xFFFF);
  const bool embedded = (a.flags & TDatasetImage::kEmbedded) != 0 && a.content.size() <= att::kMaxContent;
  std::string r(att::kSize, '\0');
  PutI16(r, att::kType, a.type);
  PutI16(r, att::kFlags, static_cast<std::int16_t>(embedded ? a.flags : a.flags & ~TDatasetImage::kEmbedded));
  PutI32(r, att::kFileSize, a.fileSize);
  PutF64(r, att::kFileTime, a.fileTime);
  PutShortText(r, att::kTitle, a.title, 80);
  PutShortText(r, att::kShortText, a.shortText, 40);
  PutU16(r, att::kNameLength, static_cast<std::uint16_t>(fullName.size()));
  PutU16(r, att::kContentLength, static_cast<std::uint16_t>(embedded ? a.content.size() : 0));
  r += fullName;
  if (embedded) r += a.content;
  return r;
}

std::string EncodeParameter(const TSPCParameter& p, int scaleNumber) {
  std::string r(prm::kSize, '\0');
  std::memcpy(r.data(), prm::kMarker, 4);
  PutI16(r, prm::kOrder, static_cast<std::int16_t>(p.position));
  PutShortText(r, prm::kName, p.name, 80);
  PutShortText(r, prm::kUnit, p.unit, 10);
  PutShortText(r, prm::kNote, p.note, 250);
  PutI32(r, prm::kFlags, p.Flags());
  PutU8(r, prm::kScale, static_cast<std::uint8_t>(scaleNumber));
  PutU8(r, prm::kDecimals, p.decimals);
  PutF64(r, prm::kLsl, p.tolerance.slots[ValueRange::kLower].value);
  PutF64(r, prm::kUsl, p.tolerance.slots[ValueRange::kUpper].value);
  PutF64(r, prm::kNominal, p.tolerance.slots[ValueRange::kTarget].value);
  PutF64(r, prm::kBase, p.baseValue);
  PutU8(r, prm::kMultiplier, p.multiplierCode);
  PutF64(r, prm::kMin, p.dataLimits.slots[ValueRange::kLower].value);
  PutF64(r, prm::kMax, p.dataLimits.slots[ValueRange::kUpper].value);
  PutF64(r, prm::kDefault, p.dataLimits.slots[ValueRange::kTarget].value);
  PutI16(r, prm::kPointsWidth, p.pointsColumnWidth);
  PutF64(r, prm::kLrl, p.lrl);
  PutF64(r, prm::kUrl, p.url);
  PutI32(r, prm::kId, p.id);
  PutU8(r, prm::kKind, static_cast<std::uint8_t>(p.kind));
  PutShortText(r, prm::kShortName, p.shortName, 15);
  PutI16(r, prm::kSamplesWidth, p.samplesColumnWidth);
  PutI16(r, prm::kClassId, p.classId);
  return r;
}

std::string EncodeBlockRecord(const TSPCBlock& b, int position) {
  std::string r(blk::kSize, '\0');
  std::memcpy(r.data(), blk::kMarker, 4);
  PutI32(r, blk::kId, b.id);
  PutI16(r, blk::kPosition, static_cast<std::int16_t>(position));
  PutU8(r, blk::kKind, static_cast<std::uint8_t>(b.kind));
  PutI16(r, blk::kSampleCount, static_cast<std::int16_t>(b.SampleCount()));
  PutI16(r, blk::kFixedSize, static_cast<std::int16_t>(b.fixedSampleSize));
  PutI16(r, blk::kFlags, static_cast<std::int16_t>(b.flags));
  PutF64(r, blk::kModified, b.modified);
  PutShortText(r, blk::kName, b.name, 80);
  PutShortText(r, blk::kNote, b.note, 80);
  PutShortText(r, blk::kFrequency, b.frequency, 40);
  PutF64(r, blk::kCreated, b.created);
  PutU8(r, blk::kMode, static_cast<std::uint8_t>(b.mode));
  return r;
}

// A sample text as written: the length byte and the characters (length + 1 bytes), nothing
// when empty.
std::string SampleText(std::string_view utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > TSPCSample::kTextMax) bytes.resize(TSPCSample::kTextMax);
  if (bytes.empty()) return {};
  return static_cast<char>(bytes.size()) + bytes;
}

void EncodeSample(std::string& out, const TSPCSample& s, int position, int paramCount) {
  const std::string note = SampleText(s.Note());
  const std::string event = SampleText(s.Event());
  std::string r(smp::kSize, '\0');
  std::memcpy(r.data(), smp::kMarker, 4);
  PutI16(r, smp::kPosition, static_cast<std::int16_t>(position));
  PutI16(r, smp::kPointCount, static_cast<std::int16_t>(s.PointCount()));
  PutI16(r, smp::kFlags, static_cast<std::int16_t>(s.flags));
  PutF64(r, smp::kDateTime, s.dateTime);
  PutI16(r, smp::kNoteLength, static_cast<std::int16_t>(note.empty() ? 0 : note.size() - 1));
  PutI16(r, smp::kEventLength, static_cast<std::int16_t>(event.empty() ? 0 : event.size() - 1));
  PutI16(r, smp::kSampleSize, s.sampleSize);
  out += r;
  out += note;
  out += event;
  // Points: sized once, then filled in place.
  std::size_t bytes = 0;
  for (const TFileSmpPoint& p : s.Points()) {
    bytes += pnt::kHead + ((p.Flags() & point_flag::kOwnDate) ? 8 : 0) + pnt::kSlot * static_cast<std::size_t>(paramCount);
  }
  std::size_t at = out.size();
  out.resize(at + bytes);
  char* dst = out.data();
  for (const TFileSmpPoint& p : s.Points()) {
    const std::uint16_t pointFlags = p.Flags();
    std::memcpy(dst + at, &pointFlags, 2);
    std::memset(dst + at + 2, 0, 4);
    at += pnt::kHead;
    if (pointFlags & point_flag::kOwnDate) {
      const TDateTime own = p.DateTime();
      std::memcpy(dst + at, &own, 8);
      at += 8;
    }
    for (int k = 1; k <= paramCount; ++k) {
      const PointValue v = p.Get(k);
      std::memcpy(dst + at, &v.flags, 2);
      std::memcpy(dst + at + 2, &v.value, 8);
      dst[at + 10] = 0;
      dst[at + 11] = 0;
      at += pnt::kSlot;
    }
  }
}

std::string EncodeClasses(const ParamClassList& classes, TDateTime saveTime) {
  std::string content(cls::kListHeader, '\0');
  PutU8(content, cls::kListCount, static_cast<std::uint8_t>(classes.Count()));
  PutI16(content, cls::kListLastId, classes.lastId);
  PutF64(content, cls::kListChanged, classes.changedAt);
  for (int i = 1; i <= classes.Count(); ++i) {
    std::string r(cls::kRecord, '\0');
    std::memcpy(r.data(), cls::kMarker, 4);
    PutI16(r, cls::kId, classes.Get(i)->id);
    PutShortText(r, cls::kName, classes.Get(i)->name, 40);
    PutShortText(r, cls::kNote, classes.Get(i)->note, 150);
    content += r;
  }
  ChunkHeader header;
  header.contentCode = cls::kContentCode;
  header.contentSize = static_cast<std::int32_t>(content.size());
  header.check = CheckValue(content);
  header.written = saveTime;
  return header.Encode() + content;
}

}  // namespace

std::int16_t AttestationCount(const TDatasetSPC& ds) {
  const std::size_t whole = ds.settings.attestationKinds.size() / kAttestKindSize;
  return static_cast<std::int16_t>(std::min<std::size_t>(whole, kMaxAttestKinds));
}

std::string BackupName(const std::string& fileName) {
  const fs::path path(fileName);
  const std::string ext = path.extension().string();  // ".mvl"
  const std::string kept = ext.size() > 1 ? ext.substr(1, 2) : std::string();
  fs::path backup = path;
  backup.replace_extension(".~" + kept);
  return backup.string();
}

bool HasSpcExtension(const std::string& fileName) {
  return SameText(fs::path(fileName).extension().string(), ".mvl");
}

namespace {

// The progress window's title while saving. Its first letter is a Latin C, as users have
// always seen it.
constexpr const char* kSaveProgressTitle = "Cохранение файла";

// A little more than the file will hold, so that the bytes are gathered without moving.
std::size_t EncodedSizeEstimate(const TDatasetSPC& ds) {
  std::size_t estimate = kSpcPrefixSize + kSpcHeaderSize + prm::kSize * static_cast<std::size_t>(ds.ParameterCount());
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    for (const TSPCSample& s : ds.Block(b)->Samples()) {
      estimate += smp::kSize + 2 * 152 + s.Points().size() * (pnt::kHead + 8 + pnt::kSlot * ds.ParameterCount());
    }
    estimate += blk::kSize;
  }
  return estimate;
}

// The file's bytes into out, one progress step for the header, each parameter and each block.
// False when the user stopped it (asked between blocks); out is then incomplete.
bool EncodeInto(const TDatasetSPC& ds, const std::string& fileName, TDateTime saveTime,
                std::optional<TDateTime> programDate, std::string& out, platform::IProgress* progress) {
  const std::array<std::string, 5> texts = {RawText(ds.note),
                                            ds.picture.data.size() <= 0xFFFF ? ds.picture.data : std::string(),
                                            RawText(ds.department), RawText(ds.detail), RawText(ds.operation)};
  const std::string header = EncodeHeader(ds, fileName, saveTime, programDate, texts);
  out.clear();
  out.reserve(EncodedSizeEstimate(ds) + texts[0].size() + texts[1].size());
  out.append(mvl::kSignature, 4);
  out += static_cast<char>(kSpcFileVersion);
  out += '\0';
  const std::uint16_t check = CheckValue(header);
  out += static_cast<char>(check & 0xFF);
  out += static_cast<char>(check >> 8);
  out += header;
  for (const std::string& t : texts) out += t;
  const auto& set = ds.settings;
  for (std::size_t i = 0; i < std::min(set.reportKinds.size(), kMaxReportKinds); ++i) {
    std::string kind = set.reportKinds[i];
    kind.resize(kReportKindSize, '\0');
    out += kind;
  }
  out.append(set.attestationKinds, 0, static_cast<std::size_t>(AttestationCount(ds)) * kAttestKindSize);
  for (std::size_t i = 0; i < std::min<std::size_t>(ds.attachments.size(), 255); ++i) {
    out += EncodeAttachment(ds.attachments[i]);
  }
  if (progress) progress->Step();
  for (int i = 1; i <= ds.ParameterCount(); ++i) {
    const TSPCParameter& p = *ds.Parameter(i);
    out += EncodeParameter(p, ds.scales.IndexOfID(p.scaleId));
    if (progress) progress->Step();
  }
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    if (progress && progress->Aborted()) return false;
    const TSPCBlock& block = *ds.Block(b);
    out += EncodeBlockRecord(block, b);
    for (int s = 1; s <= block.SampleCount(); ++s) EncodeSample(out, *block.Sample(s), s, ds.ParameterCount());
    if (progress) progress->Step();
  }
  if (ds.classes.Count() > 0) out += EncodeClasses(ds.classes, saveTime);
  return true;
}

}  // namespace

std::string EncodeSpcFile(const TDatasetSPC& ds, const std::string& fileName, TDateTime saveTime,
                          std::optional<TDateTime> programDate) {
  std::string out;
  EncodeInto(ds, fileName, saveTime, programDate, out, nullptr);
  return out;
}

bool WriteSpcFile(const TDatasetSPC& dataset, const std::string& fileName, std::string& error, bool* aborted,
                  std::optional<TDateTime> programDate) {
  error.clear();
  if (aborted) *aborted = false;
  auto& progress = platform::Current<platform::IProgress>();
  progress.Begin(kSaveProgressTitle, 1 + dataset.ParameterCount() + dataset.BlockCount() +
                     static_cast<int>(std::min<std::size_t>(EncodedSizeEstimate(dataset) / kWritePieceSize + 1, 1 << 20)));
  std::string bytes;
  bool stopped = !EncodeInto(dataset, fileName, Now(), programDate, bytes, &progress);
  int code = 0;
  const bool written = !stopped && WriteFileAtomically(fileName, bytes, code, [&](std::size_t done) {
    if (done > 0) progress.Step();
    stopped = progress.Aborted();
    return stopped ? ECANCELED : 0;
  });
  progress.End();
  if (written) return true;
  if (stopped) {
    if (aborted) *aborted = true;
    error = "Сохранение файла прервано пользователем";  // saving stopped by the user
  } else {
    error = WriteFailureText(fileName, code);
  }
  return false;
}

std::string WriteFailureText(const std::string& fileName, int code) {
  return "Сбой при записи файла\r\n" + fileName + "\r\n\r\n" + FileErrorText(code);
}

}  // namespace mv
