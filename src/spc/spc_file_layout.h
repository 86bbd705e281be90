#pragma once
// Byte layout of the SPC data file, version 6: one constant per field, offsets within their
// record. The static_asserts keep the tables adding up.

#include <cstddef>
#include <cstdint>

namespace mv::mvl {

// Prefix (8 bytes).
inline constexpr char kSignature[] = "MVL ";
inline constexpr std::size_t kPrefixVersion = 4;
inline constexpr std::size_t kPrefixCheck = 6;
inline constexpr std::size_t kPrefixSize = 8;

// Main header (11836 bytes; file offset = 8 + offset).
namespace hdr {
inline constexpr std::size_t kRelease = 0;         // i16
inline constexpr std::size_t kSaveCounter = 2;     // i32
inline constexpr std::size_t kStamp = 6;           // 163
inline constexpr std::size_t kDatasetId = 169;     // i32
inline constexpr std::size_t kAccessFlags = 173;   // u32
inline constexpr std::size_t kPasswordHash = 177;  // u32
inline constexpr std::size_t kCreationNote = 181;  // s[60]
inline constexpr std::size_t kParamCount = 242;    // i16
inline constexpr std::size_t kBlockCount = 244;    // i16
inline constexpr std::size_t kBlockLists = 246;    // 2 x 206 i16
inline constexpr std::size_t kBlockListEntries = 206;
inline constexpr std::size_t kFileName = 1070;     // s[255]
inline constexpr std::size_t kProcessName = 1326;  // s[100]
inline constexpr std::size_t kComment = 1427;      // s[250]
inline constexpr std::size_t kResponsible = 1678;  // s[100]
inline constexpr std::size_t kScaleCount = 1779;   // u8
inline constexpr std::size_t kScales = 1780;       // 20 x 54
inline constexpr std::size_t kScaleEntry = 54;     // s[40] name, s[10] unit, 2 reserved
inline constexpr std::size_t kScaleUnit = 41;
inline constexpr std::size_t kReportCount = 2860;       // i16
inline constexpr std::size_t kDatasetSettings = 2862;   // 452
inline constexpr std::size_t kAttestCount = 3314;       // i16
inline constexpr std::size_t kBlockEditing = 3316;      // u8
inline constexpr std::size_t kActivePage = 3317;        // u8
inline constexpr std::size_t kEditingOptions = 3318;    // 10
inline constexpr std::size_t kSeparation = 3328;        // 8
inline constexpr std::size_t kMerging = 3336;           // 24
inline constexpr std::size_t kMergingReserved = 3360;   // 1
inline constexpr std::size_t kClipboard = 3361;         // 392
inline constexpr std::size_t kFilters = 3753;           // 1022, marker "SFLT"
inline constexpr std::size_t kCorrelation = 4775;       // 468
inline constexpr std::size_t kCorrelationByte = 5243;   // 1
inline constexpr std::size_t kIconName = 5244;          // s[60]
inline constexpr std::size_t kIconDisplay = 5305;       // 16
inline constexpr std::size_t kIconLength = 5321;        // u16
inline constexpr std::size_t kAttachmentCount = 5323;   // u8
inline constexpr std::size_t kNoteLength = 5324;        // u16
inline constexpr std::size_t kDepartmentLength = 5326;  // u16
inline constexpr std::size_t kDetailLength = 5328;      // u16
inline constexpr std::size_t kOperationLength = 5330;   // u16
inline constexpr std::size_t kExtensionLengths = 5332;  // 20 x i16
inline constexpr std::size_t kExtensionCount = 20;
inline constexpr std::size_t kColumnWidths = 5372;      // 300 x i16
inline constexpr std::size_t kColumnWidthRoom = 300;
inline constexpr std::size_t kColumnCount = 5972;       // i16
inline constexpr std::size_t kAutoFill = 5974;          // 1764
inline constexpr std::size_t kAutoFillSetting = 7738;   // i16
inline constexpr std::size_t kParamListState = 7740;    // 28
inline constexpr std::size_t kNextBlock = 7768;         // i16
inline constexpr std::size_t kClassCount = 7770;        // i16
inline constexpr std::size_t kReserved = 7772;          // 4064
inline constexpr std::size_t kSize = 11836;
static_assert(kBlockLists + 2 * 2 * kBlockListEntries == kFileName);
static_assert(kScales + 20 * kScaleEntry == kReportCount);
static_assert(kDatasetSettings + 452 == kAttestCount);
static_assert(kClipboard + 392 == kFilters && kFilters + 1022 == kCorrelation);
static_assert(kCorrelation + 468 == kCorrelationByte && kIconName + 61 == kIconDisplay);
static_assert(kColumnWidths + 2 * kColumnWidthRoom == kColumnCount && kAutoFill + 1764 == kAutoFillSetting);
static_assert(kReserved + 4064 == kSize);
}  // namespace hdr

// Writer stamp (163 bytes within the header).
namespace stamp {
inline constexpr char kMarker[] = "RWB ";
inline constexpr std::size_t kVersion = 4;        // u8, 1
inline constexpr std::size_t kProgram = 5;        // s[50]
inline constexpr std::size_t kProgramFileDate = 127;  // i32, packed file-system date-time
inline constexpr std::size_t kSaveTime = 131;     // date-time
inline constexpr std::size_t kRelease = 143;      // i16, 50
inline constexpr std::size_t kBuild = 153;        // i16, 133
inline constexpr std::size_t kSize = 163;
inline constexpr std::int16_t kBuildNumber = 133;
static_assert(kProgram + 51 + 71 == kProgramFileDate && kBuild + 2 + 8 == kSize);
}  // namespace stamp

// Report and attestation kinds, kept as read.
inline constexpr std::size_t kReportKindSize = 10088;
inline constexpr std::size_t kMaxReportKinds = 50;
inline constexpr std::size_t kAttestKindSize = 1571;
inline constexpr std::size_t kMaxAttestKinds = 20;

// Attachment record (160 bytes), then the full name and the embedded content.
namespace att {
inline constexpr std::size_t kType = 0;          // i16
inline constexpr std::size_t kFlags = 2;         // i16
inline constexpr std::size_t kFileSize = 4;      // i32
inline constexpr std::size_t kFileTime = 8;      // date-time
inline constexpr std::size_t kTitle = 16;        // s[80]
inline constexpr std::size_t kShortText = 97;    // s[40]
inline constexpr std::size_t kNameLength = 138;  // u16
inline constexpr std::size_t kContentLength = 140;  // u16
inline constexpr std::size_t kSize = 160;
inline constexpr std::size_t kMaxContent = 65520;
static_assert(kTitle + 81 == kShortText && kShortText + 41 == kNameLength && kContentLength + 2 + 18 == kSize);
}  // namespace att

// Parameter record (514 bytes).
namespace prm {
inline constexpr char kMarker[] = "PRM ";
inline constexpr std::size_t kOrder = 4;         // i16
inline constexpr std::size_t kName = 6;          // s[80]
inline constexpr std::size_t kUnit = 87;         // s[10]
inline constexpr std::size_t kNote = 98;         // s[250]
inline constexpr std::size_t kFlags = 349;       // i32
inline constexpr std::size_t kScale = 353;       // u8
inline constexpr std::size_t kDecimals = 354;    // u8
inline constexpr std::size_t kLsl = 355;
inline constexpr std::size_t kUsl = 363;
inline constexpr std::size_t kNominal = 371;
inline constexpr std::size_t kBase = 379;
inline constexpr std::size_t kMultiplier = 387;  // u8
inline constexpr std::size_t kMin = 388;
inline constexpr std::size_t kMax = 396;
inline constexpr std::size_t kDefault = 404;
inline constexpr std::size_t kPointsWidth = 412;  // i16
inline constexpr std::size_t kLrl = 414;
inline constexpr std::size_t kUrl = 422;
inline constexpr std::size_t kId = 430;           // i32
inline constexpr std::size_t kExtension = 434;    // u8, bytes after the record
inline constexpr std::size_t kKind = 435;         // u8
inline constexpr std::size_t kShortName = 436;    // s[15]
inline constexpr std::size_t kSamplesWidth = 452; // i16
inline constexpr std::size_t kClassId = 454;      // i16
inline constexpr std::size_t kSize = 514;
static_assert(kName + 81 == kUnit && kUnit + 11 == kNote && kNote + 251 == kFlags);
static_assert(kShortName + 16 == kSamplesWidth && kClassId + 2 + 58 == kSize);
}  // namespace prm

// Block record (268 bytes).
namespace blk {
inline constexpr char kMarker[] = "BLK ";
inline constexpr std::size_t kId = 4;            // i32
inline constexpr std::size_t kPosition = 8;      // i16
inline constexpr std::size_t kKind = 10;         // u8
inline constexpr std::size_t kSampleCount = 11;  // i16
inline constexpr std::size_t kFixedSize = 13;    // i16
inline constexpr std::size_t kFlags = 15;        // i16
inline constexpr std::size_t kModified = 17;     // date-time
inline constexpr std::size_t kName = 25;         // s[80]
inline constexpr std::size_t kNote = 106;        // s[80]
inline constexpr std::size_t kFrequency = 187;   // s[40]
inline constexpr std::size_t kCreated = 228;     // date-time
inline constexpr std::size_t kMode = 236;        // u8
inline constexpr std::size_t kSize = 268;
static_assert(kName + 81 == kNote && kNote + 81 == kFrequency && kFrequency + 41 == kCreated);
static_assert(kMode + 1 + 31 == kSize);
}  // namespace blk

// Sample record (32 bytes), then note and event as short strings, then the points.
namespace smp {
inline constexpr char kMarker[] = "SMP ";
inline constexpr std::size_t kPosition = 4;     // i16
inline constexpr std::size_t kPointCount = 6;   // i16
inline constexpr std::size_t kFlags = 8;        // i16
inline constexpr std::size_t kDateTime = 10;    // date-time
inline constexpr std::size_t kNoteLength = 18;  // i16
inline constexpr std::size_t kEventLength = 20; // i16
inline constexpr std::size_t kSampleSize = 22;  // i16
inline constexpr std::size_t kSize = 32;
static_assert(kSampleSize + 2 + 8 == kSize);
}  // namespace smp

// Point: flags (i16), 4 reserved, date-time with its own date, then per parameter a slot of
// flags (i16), value (double), 2 reserved.
namespace pnt {
inline constexpr std::size_t kHead = 6;
inline constexpr std::size_t kDateTime = 8;
inline constexpr std::size_t kSlot = 12;
}  // namespace pnt

// Parameter classes chunk: content code, class-list header, class records.
namespace cls {
inline constexpr std::int32_t kContentCode = 1110;
inline constexpr std::size_t kListHeader = 32;  // count u8, last id i16, changed date-time, 21 reserved
inline constexpr std::size_t kListCount = 0;
inline constexpr std::size_t kListLastId = 1;
inline constexpr std::size_t kListChanged = 3;
inline constexpr char kMarker[] = ">CLS";
inline constexpr std::size_t kId = 4;     // i16
inline constexpr std::size_t kName = 6;   // s[40]
inline constexpr std::size_t kNote = 47;  // s[150]
inline constexpr std::size_t kRecord = 256;
static_assert(kListChanged + 8 + 21 == kListHeader && kNote + 151 + 58 == kRecord);
}  // namespace cls

}  // namespace mv::mvl
