// Reading the SPC data file (version 6). The file is parsed by one cursor that knows the file
// offset of every record, so each message can name where the file went wrong. A file on disk
// is read in pieces into a window that moves along with the cursor: the prefix and the header
// first, so a large file that is not a data file costs nothing to refuse, and then the records,
// never the whole file at once beside the dataset being built. Nothing in the layout follows
// the last record: bytes left over mean the counts are wrong, and the file is damaged.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_facts.h"
#include "core/file_routines.h"
#include "core/numbers.h"
#include "core/short_text.h"
#include "core/unique_fd.h"
#include "core/text.h"
#include "platform/app_folders.h"
#include "platform/log_sink.h"
#include "platform/progress.h"
#include "platform/services.h"
#include "spc/derived_data.h"
#include "spc/spc_file.h"
#include "spc/spc_file_internal.h"
#include "spc/spc_file_layout.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using namespace mvl;

// The file is read in pieces of this size (more when one record is larger), and a zero tail
// past the last record is looked through in pieces of the same size.
constexpr std::size_t kReadPiece = 1 << 20;

// The decoder's bytes: all in memory, or an open file read piece by piece into `storage`.
struct SpcSource {
  std::string_view bytes;   // the bytes at hand, from offset `base` of the input
  std::uint64_t base = 0;
  std::uint64_t total = 0;  // the size of the whole input
  int fd = -1;              // the open file, or -1 when everything is in `bytes`
  std::string storage;      // the window of the file read so far
};

template <std::size_t N>
void GetArea(std::string_view b, std::size_t off, std::array<std::uint8_t, N>& area) {
  std::memcpy(area.data(), b.data() + off, N);
}

std::int16_t ClampWidth(std::int16_t width) {
  if (width == 0) return TSPCParameter::kDefaultColumnWidth;
  return std::clamp(width, TSPCParameter::kMinColumnWidth, TSPCParameter::kMaxColumnWidth);
}

class SpcDecoder {
 public:
  SpcDecoder(SpcSource& source, const std::string& fileName)
      : m_source(source), m_bytes(source.bytes), m_name(fileName) {}

  SpcReadResult Run() {
    auto& progress = platform::Current<platform::IProgress>();
    bool ok = false;
    try {
      ok = Decode(progress);
    } catch (const std::bad_alloc&) {
      // Counts from the file made us ask for more memory than there is: the load fails with
      // the system's message, and the program goes on.
      m_ds.reset();
      ok = ReadFailure(m_pos, kOutOfMemoryCode);
    }
    progress.End();
    if (ok) m_result.dataset = std::move(m_ds);
    return std::move(m_result);
  }

 private:
  // --- failures ---
  bool Damage(const std::string& what, std::uint64_t offset) {
    m_result.message = "Файл " + m_name + " поврежден" + " - " + what + "  (смещение " + OffsetText(offset) + ")";
    m_result.place = kLoadPlace;
    return false;
  }
  // A read past the end of the file (code 0) or one the system failed (its code).
  bool ReadFailure(std::uint64_t offset, int code = 0) {
    m_result.message = "Сбой при чтении файла (смещение " + OffsetText(offset) + ")\r\n" + m_name + "\r\n\r\n" +
                       (code == 0 ? std::string(kFileEndsEarlyText) : FileErrorText(code));
    m_result.place = kLoadPlace;
    return false;
  }

  // Bytes at hand from the cursor on.
  std::size_t Available() const { return static_cast<std::size_t>(m_source.base + m_bytes.size() - m_pos); }
  const char* Here() const { return m_bytes.data() + static_cast<std::size_t>(m_pos - m_source.base); }

  // Makes the next n bytes from the cursor available (views taken before stay valid only while
  // no more is read), or a read failure: at the cursor when the input ends sooner, where the
  // system failed otherwise.
  bool Need(std::uint64_t n) {
    if (Available() >= n) return true;
    if (m_source.fd < 0 || m_source.total - m_pos < n) return ReadFailure(m_pos);
    // What is left of the window moves to its front, and the window grows to hold the request.
    std::string& storage = m_source.storage;
    const std::size_t keep = Available();
    const auto want = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max<std::uint64_t>(n, kReadPiece), m_source.total - m_pos));
    if (keep > 0) std::memmove(storage.data(), Here(), keep);
    if (storage.size() < want) {
      if (want > 2 * kReadPiece) {
        // A long record (a large class chunk): no copy of the old window beside the new one.
        std::string larger(want, '\0');
        std::memcpy(larger.data(), storage.data(), keep);
        storage.swap(larger);
      } else {
        storage.resize(want);
      }
    }
    std::size_t got = 0;
    int code = 0;
    const std::uint64_t at = m_pos + keep;
    const bool read = ReadFileAt(m_source.fd, at, storage.data() + keep, want - keep, got, code, m_name);
    m_source.base = m_pos;
    m_bytes = m_source.bytes = std::string_view(storage.data(), keep + got);
    if (!read) return ReadFailure(at + got, code);
    return Available() >= n || ReadFailure(m_pos);  // a file that shrank meanwhile ends where it ends now
  }

  // The bytes after the last record. None is the rule. Zeros appended by a copy or a crash of
  // the file system are let through with a line in the log, unless they could be points of
  // the last sample whose count was lowered (points of zero values are all zero bytes).
  bool CheckTail() {
    if (m_pos == m_source.total) return true;
    const std::uint64_t tail = m_source.total - m_pos;
    const auto zero = [](std::string_view part) {
      return part.empty() || (part[0] == 0 && std::memcmp(part.data(), part.data() + 1, part.size() - 1) == 0);
    };
    bool zeros = zero(std::string_view(Here(), Available()));
    if (zeros && m_source.fd >= 0) {
      std::string piece(kReadPiece, '\0');
      for (std::uint64_t at = m_pos + Available(); zeros && at < m_source.total;) {
        std::size_t got = 0;
        int code = 0;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadPiece, m_source.total - at));
        if (!ReadFileAt(m_source.fd, at, piece.data(), want, got, code, m_name)) return ReadFailure(at, code);
        if (got == 0) break;
        zeros = zero(std::string_view(piece).substr(0, got));
        at += got;
      }
    }
    if (!zeros || CouldBeLostPoints(tail)) return Damage(m_lastRecord, m_pos);
    platform::Current<platform::ILog>().LogLine("Load " + m_name + ": " + std::to_string(tail) +
                                                " zero bytes after the last record ignored (offset " +
                                                OffsetText(m_pos) + ")");
    return true;
  }

  bool CouldBeLostPoints(std::uint64_t tail) const {
    if (!m_lastIsBlock || m_ds->BlockCount() == 0) return false;
    const TSPCBlock& block = *m_ds->Block(m_ds->BlockCount());
    if (block.SampleCount() == 0) return false;
    const std::uint64_t point = pnt::kHead + pnt::kSlot * static_cast<std::uint64_t>(m_ds->ParameterCount());
    const auto room = static_cast<std::uint64_t>(kMaxPoints - static_cast<std::size_t>(block.Sample(block.SampleCount())->PointCount()));
    return tail % point == 0 && tail / point <= room;
  }

  // The next n bytes, or a read failure at the current offset.
  // The view stays valid until the next Take, Skip or Need.
  bool Take(std::size_t n, std::string_view& out) {
    if (!Need(n)) return false;
    out = std::string_view(Here(), n);
    m_pos += n;
    return true;
  }
  bool Skip(std::uint64_t n) {
    if (Available() >= n) {
      m_pos += n;
      return true;
    }
    if (m_source.fd < 0 || m_source.total - m_pos < n) return ReadFailure(m_pos);
    // Beyond the window: the next read starts there.
    m_pos += n;
    m_source.base = m_pos;
    m_bytes = m_source.bytes = std::string_view();
    return true;
  }

  bool Decode(platform::IProgress& progress) {
    // The prefix and the header come first.
    std::string_view prefix;
    if (!Take(kPrefixSize, prefix)) return false;
    if (prefix.substr(0, 4) != std::string_view(kSignature, 4)) {
      m_result.message = "Неизвестный формат файла\r\n" + m_name;
      m_result.details = HexUpper(GetU32(prefix, 0), 8) + "h";
      m_result.place = kLoadPlace;
      return false;
    }
    const std::uint8_t version = GetU8(prefix, kPrefixVersion);
    if (version != kSpcFileVersion) {
      // Versions 1 to 5 have layouts we cannot read reliably; say which versions load.
      m_result.message = "Незагружаемая версия формата файла данных.\r\nРекомендуется обновить систему Morvalen";
      m_result.details = "Файл данных " + m_name + " имеет версию формата " + std::to_string(version) +
                         ". Текущая система Morvalen " + MV_VERSION + " способна загружать файлы версий с " +
                         std::to_string(kSpcFileVersion) + " по " + std::to_string(kSpcFileVersion);
      m_result.place = kLoadPlace;
      return false;
    }
    const std::uint16_t check = GetU16(prefix, kPrefixCheck);
    std::string_view h;
    if (!Take(hdr::kSize, h)) return false;
    if (CheckValue(h) != check) return Damage("основной заголовок", kPrefixSize);
    if (!ReadHeader(h)) return false;
    m_lastRecord = "основной заголовок";
    progress.Begin("Загрузка файла", 1 + m_paramCount + m_blockCount);
    progress.Step();
    if (!ReadSections() || !ReadParameters(progress) || !ReadBlocks(progress) || !ReadClasses() || !CheckTail()) {
      return false;
    }
    Finish();
    return true;
  }

  bool ReadHeader(std::string_view h) {
    const auto headerDamage = [&] { return Damage("основной заголовок", kPrefixSize); };
    m_ds = std::make_unique<TDatasetSPC>();
    TDatasetSPC& ds = *m_ds;
    ds.writerRelease = GetI16(h, hdr::kRelease);
    ds.saveCounter = GetI32(h, hdr::kSaveCounter);
    std::memcpy(ds.writerStamp.data(), h.data() + hdr::kStamp, stamp::kSize);
    ds.id = GetI32(h, hdr::kDatasetId);
    ds.accessFlags = GetU32(h, hdr::kAccessFlags);
    ds.passwordHash = GetU32(h, hdr::kPasswordHash);
    ds.creationNote = GetShortText(h, hdr::kCreationNote, 60);
    const std::int16_t params = GetI16(h, hdr::kParamCount);
    if (params > static_cast<int>(kMaxParameters)) {
      m_result.message = "Количество параметров (" + std::to_string(params) + ") в файловом наборе данных\r\n" + m_name +
                         "\r\nпревышает максимально возможное (" + std::to_string(kMaxParameters) +
                         ") для данной версии Morvalen";
      m_result.place = kLoadPlace;
      platform::Current<platform::ILog>().LogError(
          "Too many parameters (" + std::to_string(params) + ") in " + m_name);
      return false;
    }
    const std::int16_t blocks = GetI16(h, hdr::kBlockCount);
    const std::uint8_t scales = GetU8(h, hdr::kScaleCount);
    const std::int16_t reports = GetI16(h, hdr::kReportCount);
    const std::int16_t attests = GetI16(h, hdr::kAttestCount);
    const std::int16_t widths = GetI16(h, hdr::kColumnCount);
    const std::int16_t classes = GetI16(h, hdr::kClassCount);
    if (params < 0 || blocks < 0 || blocks > static_cast<int>(kMaxBlocks) || scales > ScaleList::kCapacity ||
        reports < 0 || reports > static_cast<int>(kMaxReportKinds) || attests < 0 ||
        attests > static_cast<int>(kMaxAttestKinds) || widths < 0 || widths > static_cast<int>(hdr::kColumnWidthRoom) ||
        classes < 0 || classes > static_cast<int>(ParamClassList::kCapacity)) {
      return headerDamage();
    }
    m_paramCount = params;
    m_blockCount = blocks;
    m_reportCount = reports;
    m_attestCount = attests;
    m_classCount = classes;
    for (std::size_t i = 0; i < hdr::kExtensionCount; ++i) {
      const std::int16_t n = GetI16(h, hdr::kExtensionLengths + 2 * i);
      if (n < 0) return headerDamage();
      m_extension += static_cast<std::uint64_t>(n);
    }
    ds.fileName = GetShortText(h, hdr::kFileName, 255);  // replaced by the real name at the end
    ds.processName = GetShortText(h, hdr::kProcessName, 100);
    ds.comment = GetShortText(h, hdr::kComment, 250);
    ds.responsible = GetShortText(h, hdr::kResponsible, 100);
    for (std::size_t i = 0; i < scales; ++i) {
      const std::size_t off = hdr::kScales + i * hdr::kScaleEntry;
      ds.scales.AddRead(GetShortText(h, off, 40), GetShortText(h, off + hdr::kScaleUnit, 10));
    }
    auto& set = ds.settings;
    GetArea(h, hdr::kDatasetSettings, set.datasetSettings);
    ds.blockEditingAllowed = GetU8(h, hdr::kBlockEditing) != 0;
    set.activePage = GetU8(h, hdr::kActivePage);
    GetArea(h, hdr::kEditingOptions, set.editingOptions);
    GetArea(h, hdr::kSeparation, set.separationOptions);
    GetArea(h, hdr::kMerging, set.mergingOptions);
    set.mergingReserved = GetU8(h, hdr::kMergingReserved);
    GetArea(h, hdr::kClipboard, set.clipboardColumns);
    set.hasFilters = h.substr(hdr::kFilters, 4) == "SFLT";
    if (set.hasFilters) GetArea(h, hdr::kFilters, set.filters);
    GetArea(h, hdr::kCorrelation, set.correlation);
    set.correlationByte = GetU8(h, hdr::kCorrelationByte);
    ProcessPicture& pic = ds.picture;
    pic.fileName = GetShortText(h, hdr::kIconName, 60);
    pic.show = GetU8(h, hdr::kIconDisplay);
    pic.enlarge = GetU8(h, hdr::kIconDisplay + 1);
    pic.keepProportions = GetU8(h, hdr::kIconDisplay + 2);
    pic.transparent = GetU8(h, hdr::kIconDisplay + 3);
    std::memcpy(pic.reserved.data(), h.data() + hdr::kIconDisplay + 4, pic.reserved.size());
    m_textLengths = {GetU16(h, hdr::kNoteLength), GetU16(h, hdr::kIconLength), GetU16(h, hdr::kDepartmentLength),
                     GetU16(h, hdr::kDetailLength), GetU16(h, hdr::kOperationLength)};
    m_attachmentCount = GetU8(h, hdr::kAttachmentCount);
    for (std::size_t i = 0; i < std::min<std::size_t>(static_cast<std::size_t>(widths), ds.columnWidths.size()); ++i) {
      ds.columnWidths[i] = GetI16(h, hdr::kColumnWidths + 2 * i);
    }
    GetArea(h, hdr::kAutoFill, set.autoFill);
    set.autoFillSetting = GetI16(h, hdr::kAutoFillSetting);
    GetArea(h, hdr::kParamListState, set.parameterListState);
    ds.nextBlockNumber = GetI16(h, hdr::kNextBlock);
    return true;
  }

  bool ReadSections() {
    TDatasetSPC& ds = *m_ds;
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      std::string_view raw;
      if (!Take(m_textLengths[i], raw)) return false;
      texts[i] = i == 1 ? std::string(raw) : Cp1251ToUtf8(raw);  // the picture stays bytes
    }
    ds.note = texts[0];
    ds.picture.data = texts[1];
    ds.department = texts[2];
    ds.detail = texts[3];
    ds.operation = texts[4];
    for (int i = 0; i < m_reportCount; ++i) {
      std::string_view kind;
      if (!Take(kReportKindSize, kind)) return false;
      ds.settings.reportKinds.emplace_back(kind);
    }
    std::string_view attest;
    if (!Take(static_cast<std::size_t>(m_attestCount) * kAttestKindSize, attest)) return false;
    ds.settings.attestationKinds = std::string(attest);
    ds.settings.attestationCount = static_cast<std::int16_t>(m_attestCount);
    for (int i = 0; i < m_attachmentCount; ++i) {
      std::string_view r;
      if (!Take(att::kSize, r)) return false;
      TDatasetImage a;
      a.type = GetI16(r, att::kType);
      a.flags = GetI16(r, att::kFlags);
      a.fileSize = GetI32(r, att::kFileSize);
      a.fileTime = GetF64(r, att::kFileTime);
      a.title = GetShortText(r, att::kTitle, 80);
      a.shortText = GetShortText(r, att::kShortText, 40);
      const std::uint16_t contentLength = GetU16(r, att::kContentLength);  // `r` ends with the next read
      std::string_view name;
      if (!Take(GetU16(r, att::kNameLength), name)) return false;
      const std::string fullName = Cp1251ToUtf8(name);
      const std::size_t cut = fullName.find_last_of("\\/");
      a.folder = cut == std::string::npos ? std::string() : fullName.substr(0, cut);
      a.fileName = cut == std::string::npos ? fullName : fullName.substr(cut + 1);
      if ((a.flags & TDatasetImage::kEmbedded) && contentLength > 0) {
        std::string_view content;
        if (!Take(contentLength, content)) return false;
        a.content = std::string(content);
      }
      // The attached file as it is now, when it is still there.
      std::uint64_t size = 0;
      TDateTime time = 0;
      if (FileFacts(platform::NativePath(fullName).string(), size, time)) {
        a.fileSize = static_cast<std::int32_t>(std::min<std::uint64_t>(size, 0x7FFFFFFF));
        a.fileTime = time;
      } else {
        a.fileSize = 0;
      }
      ds.attachments.push_back(std::move(a));
    }
    return Skip(m_extension);
  }

  bool ReadParameters(platform::IProgress& progress) {
    TDatasetSPC& ds = *m_ds;
    for (int i = 1; i <= m_paramCount; ++i) {
      const std::uint64_t at = m_pos;
      std::string_view r;
      if (!Take(prm::kSize, r)) return false;
      const std::string what = "параметр " + std::to_string(i);
      const std::uint8_t kind = GetU8(r, prm::kKind);
      const std::uint8_t multiplier = GetU8(r, prm::kMultiplier);
      const std::uint8_t scale = GetU8(r, prm::kScale);
      if (r.substr(0, 4) != std::string_view(prm::kMarker, 4) || !IsValidKind(kind) ||
          multiplier > kMaxMultiplierCode || scale > ds.scales.Count()) {
        return Damage(what, at);
      }
      auto p = std::make_unique<TSPCParameter>();
      p->kind = static_cast<DataKind>(kind);
      p->position = static_cast<std::uint16_t>(std::max<std::int16_t>(0, GetI16(r, prm::kOrder)));
      p->name = GetShortText(r, prm::kName, 80);
      p->unit = GetShortText(r, prm::kUnit, 10);
      p->note = GetShortText(r, prm::kNote, 250);
      p->shortName = GetShortText(r, prm::kShortName, 15);
      p->decimals = std::min(GetU8(r, prm::kDecimals), kMaxDecimals);
      const auto flags = static_cast<std::uint16_t>(GetI32(r, prm::kFlags) & 0xFFFF);
      p->SetFlags(flags);
      const auto present = [&](std::uint16_t flag, std::size_t off) -> std::optional<double> {
        const double v = GetF64(r, off);
        if ((flags & flag) == 0 || !std::isfinite(v)) return std::nullopt;
        return v;
      };
      p->SetTolerance(present(param_flag::kLsl, prm::kLsl), present(param_flag::kUsl, prm::kUsl),
                      present(param_flag::kNominal, prm::kNominal));
      p->SetDataLimits(present(param_flag::kMin, prm::kMin), present(param_flag::kMax, prm::kMax),
                       present(param_flag::kDefault, prm::kDefault));
      p->baseValue = GetF64(r, prm::kBase);
      p->multiplierCode = multiplier;
      p->lrl = GetF64(r, prm::kLrl);
      p->url = GetF64(r, prm::kUrl);
      p->pointsColumnWidth = ClampWidth(GetI16(r, prm::kPointsWidth));
      p->samplesColumnWidth = ClampWidth(GetI16(r, prm::kSamplesWidth));
      p->scaleId = scale;  // scales read from a file have their positions as identifiers
      p->scalePosition = scale;
      p->classId = GetI16(r, prm::kClassId);
      const std::int32_t id = GetI32(r, prm::kId);
      p->id = id != 0 ? id : i;
      ds.AppendParameter(std::move(p));
      if (!Skip(GetU8(r, prm::kExtension))) return false;
      m_lastRecord = what;
      progress.Step();
    }
    return true;
  }

  bool ReadBlocks(platform::IProgress& progress) {
    TDatasetSPC& ds = *m_ds;
    const int params = ds.ParameterCount();
    // The samples' storage: a few large areas for the whole file, each sized for the samples
    // the bytes still to read can hold, as the latest sample's record foretells.
    SampleStorageLayer layer(0);
    for (int b = 1; b <= m_blockCount; ++b) {
      if (progress.Aborted()) {
        m_result.aborted = true;
        m_result.message = "Загрузка файла прервана пользователем";
        return false;
      }
      const std::uint64_t at = m_pos;
      std::string_view r;
      if (!Take(blk::kSize, r)) return false;
      const std::string what = "блок " + std::to_string(b);
      const std::uint8_t kind = GetU8(r, blk::kKind);
      const std::int16_t samples = GetI16(r, blk::kSampleCount);
      if (r.substr(0, 4) != std::string_view(blk::kMarker, 4) || !IsValidKind(kind) || samples < 0 ||
          samples > static_cast<int>(kMaxSamples)) {
        return Damage(what, at);
      }
      auto block = std::make_unique<TSPCBlock>();
      block->id = GetI32(r, blk::kId);
      block->kind = static_cast<DataKind>(kind);
      block->fixedSampleSize = static_cast<std::uint16_t>(std::max<std::int16_t>(0, GetI16(r, blk::kFixedSize)));
      block->flags = static_cast<std::uint16_t>(GetI16(r, blk::kFlags));
      block->modified = GetF64(r, blk::kModified);
      block->name = GetShortText(r, blk::kName, 80);
      block->SetNote(GetShortText(r, blk::kNote, 80));
      block->frequency = GetShortText(r, blk::kFrequency, 40);
      block->created = GetF64(r, blk::kCreated);
      block->mode = GetU8(r, blk::kMode) == 1 ? SamplingMode::Individual : SamplingMode::Samples;
      block->declaredSamples = samples;
      block->ReserveSamples(static_cast<std::size_t>(samples));
      auto& list = block->Samples();
      const std::uint64_t pointBytes = pnt::kHead + pnt::kSlot * static_cast<std::uint64_t>(params);
      for (int s = 1; s <= samples; ++s) {
        const std::uint64_t sampleAt = m_pos;
        std::string_view sr;
        if (!Take(smp::kSize, sr)) return false;
        const std::int16_t points = GetI16(sr, smp::kPointCount);
        const std::int16_t noteLength = GetI16(sr, smp::kNoteLength);
        const std::int16_t eventLength = GetI16(sr, smp::kEventLength);
        if (sr.substr(0, 4) != std::string_view(smp::kMarker, 4) || points < 0 ||
            points > static_cast<int>(kMaxPoints) || noteLength < 0 || noteLength > 255 || eventLength < 0 ||
            eventLength > 255) {
          return Damage(what + ", выборка " + std::to_string(s), sampleAt);
        }
        list.emplace_back();
        TSPCSample& sample = list.back();
        sample.flags = static_cast<std::uint16_t>(GetI16(sr, smp::kFlags));
        sample.dateTime = GetF64(sr, smp::kDateTime);
        sample.sampleSize = GetI16(sr, smp::kSampleSize);
        const std::uint64_t recordBytes = smp::kSize + static_cast<std::uint64_t>(noteLength) +
                                          static_cast<std::uint64_t>(eventLength) +
                                          pointBytes * static_cast<std::uint64_t>(points);
        layer.Foretell(static_cast<std::size_t>(std::max<std::uint64_t>(
            std::min<std::uint64_t>((m_source.total - sampleAt) / recordBytes, kMaxBlocks * kMaxSamples), 1)));
        layer.LayOut(sample, points, params);
        std::string note;
        std::string event;
        if (!ReadSampleText(noteLength, note) || !ReadSampleText(eventLength, event)) return false;
        sample.SetNote(note);
        sample.SetEvent(event);
        if (!ReadPoints(sample, points, params)) return false;
      }
      // Files of very old releases kept the date and time flags only in the samples.
      if (m_ds->writerRelease < 11 && !list.empty()) {
        block->flags = static_cast<std::uint16_t>((block->flags & ~(block_flag::kDates | block_flag::kTimes)) |
                                                  (list.front().flags & (sample_flag::kHasDate | sample_flag::kHasTime)));
      }
      block->loaded = true;
      ds.AppendBlock(std::move(block));
      m_lastRecord = what;
      m_lastIsBlock = true;
      progress.Step();
    }
    return true;
  }

  // The points of a sample laid out for exactly them, decoded straight into its columns.
  bool ReadPoints(TSPCSample& sample, int points, int params) {
    if (points == 0) return true;
    sample.AddPointsToFill(points);  // every column of every point is written below
    std::array<double*, kMaxParameters> values{};
    std::array<std::uint16_t*, kMaxParameters> slotFlags{};
    for (int k = 1; k <= params; ++k) {
      values[static_cast<std::size_t>(k - 1)] = sample.Values(k).data();
      slotFlags[static_cast<std::size_t>(k - 1)] = sample.SlotFlags(k).data();
    }
    std::uint16_t* pointFlags = sample.PointFlagsColumn().data();
    TDateTime* dates = sample.PointDatesColumn().data();
    const std::size_t slotBytes = pnt::kSlot * static_cast<std::size_t>(params);
    for (std::size_t i = 0; i < static_cast<std::size_t>(points); ++i) {
      if (!Need(pnt::kHead)) return false;
      std::uint16_t flags;
      std::memcpy(&flags, Here(), 2);
      const bool ownDate = (flags & point_flag::kOwnDate) != 0;
      const std::size_t need = pnt::kHead + (ownDate ? 8 : 0) + slotBytes;
      if (!Need(need)) return false;
      const char* src = Here() + pnt::kHead;
      pointFlags[i] = flags;
      if (ownDate) {
        std::memcpy(&dates[i], src, 8);
        src += 8;
      } else {
        dates[i] = 0;
      }
      for (std::size_t k = 0; k < static_cast<std::size_t>(params); ++k, src += pnt::kSlot) {
        std::uint16_t f;
        double v;
        std::memcpy(&f, src, 2);
        std::memcpy(&v, src + 2, 8);
        // A value that is not a number cannot be data: the slot reads as empty.
        if (!std::isfinite(v)) {
          v = 0;
          f |= value_flag::kEmpty;
        }
        slotFlags[k][i] = f;
        values[k][i] = v;
      }
      m_pos += need;
    }
    return true;
  }

  // A sample text: the record's length, then a length byte and that many characters.
  bool ReadSampleText(std::int16_t length, std::string& text) {
    if (length == 0) return true;
    std::string_view raw;
    if (!Take(static_cast<std::size_t>(length) + 1, raw)) return false;
    const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(length), GetU8(raw, 0), TSPCSample::kTextMax});
    text = Cp1251ToUtf8(raw.substr(1, n));
    return true;
  }

  bool ReadClasses() {
    if (m_classCount == 0) return true;
    const std::uint64_t at = m_pos;
    const auto damage = [&] { return Damage("классы параметров", at); };
    std::string_view raw;
    if (!Take(ChunkHeader::kSize, raw)) return false;
    ChunkHeader header;
    if (!ChunkHeader::Decode(raw, header) || header.contentCode != cls::kContentCode || header.contentSize < 0) {
      return damage();
    }
    std::string_view content;
    if (!Take(static_cast<std::size_t>(header.contentSize), content)) return false;
    if (header.contentVersion > 1) return ClassesRead();  // a newer layout: skipped by its size
    if (content.size() < cls::kListHeader) return damage();
    const std::uint8_t count = GetU8(content, cls::kListCount);
    if (count > ParamClassList::kCapacity || content.size() != cls::kListHeader + cls::kRecord * count ||
        (header.check != 0 && header.check != CheckValue(content))) {
      return damage();
    }
    ParamClassList& classes = m_ds->classes;
    classes.lastId = GetI16(content, cls::kListLastId);
    classes.changedAt = GetF64(content, cls::kListChanged);
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view r = content.substr(cls::kListHeader + i * cls::kRecord, cls::kRecord);
      if (r.substr(0, 4) != std::string_view(cls::kMarker, 4)) return damage();
      classes.AddRead(GetI16(r, cls::kId), GetShortText(r, cls::kName, 40), GetShortText(r, cls::kNote, 150));
    }
    return ClassesRead();
  }

  bool ClassesRead() {
    m_lastRecord = "классы параметров";
    m_lastIsBlock = false;
    return true;
  }

  void Finish() {
    TDatasetSPC& ds = *m_ds;
    ds.formatVersion = kSpcFileVersion;
    ds.isNew = false;
    ds.loaded = true;
    ds.loadedAt = Now();
    // Blocks stored without an identifier are numbered after all blocks are read, above every
    // identifier in the file, so none repeats.
    std::int32_t largest = ds.nextBlockNumber;
    for (int b = 1; b <= ds.BlockCount(); ++b) largest = std::max(largest, ds.Block(b)->id);
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      if (ds.Block(b)->id == 0) ds.Block(b)->id = ++largest;
    }
    if (ds.nextBlockNumber == 0 || largest > ds.nextBlockNumber) {
      ds.nextBlockNumber = static_cast<std::int16_t>(std::min<std::int32_t>(largest, std::numeric_limits<std::int16_t>::max()));
    }
    ds.RebuildOrderLists();
    ds.RebuildBlockLists();
    ds.ResolveScalesAndClasses();
    RefreshDerivedData(ds);
  }

  SpcSource& m_source;
  std::string_view m_bytes;
  const std::string& m_name;
  std::string m_lastRecord;  // what the bytes after the last record follow
  bool m_lastIsBlock = false;
  std::uint64_t m_pos = 0;  // the cursor's offset in the input
  SpcReadResult m_result;
  std::unique_ptr<TDatasetSPC> m_ds;
  int m_paramCount = 0;
  int m_blockCount = 0;
  int m_reportCount = 0;
  int m_attestCount = 0;
  int m_classCount = 0;
  int m_attachmentCount = 0;
  std::uint64_t m_extension = 0;
  std::array<std::uint16_t, 5> m_textLengths{};
};

}  // namespace

std::string OffsetText(std::uint64_t offset) {
  if (offset == 0) return "0";
  return std::to_string(offset) + "=" + HexUpper(static_cast<std::uint32_t>(offset), 8) + "h";
}

SpcReadResult ReadSpcBytes(const std::string& bytes, const std::string& fileName) {
  SpcSource source;
  source.bytes = bytes;
  source.total = bytes.size();
  return SpcDecoder(source, fileName).Run();
}

SpcReadResult ReadSpcFile(const std::string& fileName) {
  SpcReadResult result;
  SpcSource source;
  int code = 0;
  // Only a regular file is opened, and without waiting: a pipe or a device would block.
  UniqueFd fd(OpenRegularFile(fileName, source.total, code));
  if (!fd.ok()) {
    // A missing file or folder is "not found"; a folder we may not enter is an access error.
    result.message = code == 2 || code == 3
                         ? "Файл не найден:\r\n" + fileName
                         : "Сбой при чтении файла (смещение 0)\r\n" + fileName + "\r\n\r\n" + FileErrorText(code);
    result.place = kLoadPlace;
    return result;
  }
  source.fd = fd.get();
  result = SpcDecoder(source, fileName).Run();
  if (result.Ok()) {
    TDatasetSPC& ds = *result.dataset;
    std::error_code ec;
    const fs::path path = fs::absolute(fileName, ec);
    ds.fileName = path.string();
    ds.folder = path.parent_path().string();
    FileFacts(fileName, ds.fileSize, ds.fileTime);
  }
  return result;
}

}  // namespace mv
