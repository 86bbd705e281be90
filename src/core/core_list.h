#pragma once
// The persistent list framework: short lists of named items kept between runs (gauges, input
// profiles, event sounds). A list owns its items, keeps them at positions 1..Count() (0 means
// none), tracks changes by time stamps, and turns itself into a list stream and back:
//
//   "<LST"  list header (kind marker, version, properties)  count (i16)  items...  "LST>"
//
// A failed load never leaves a half-filled list: the list ends empty with LastError set.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/uni_stream.h"
#include "platform/clock.h"

namespace mv {

class TCoreObject {
 public:
  virtual ~TCoreObject() = default;
  virtual std::string ClassName() const { return "TCoreObject"; }
  // One line describing the object for the log; the root gives its class name.
  virtual std::string GetLogDescr(bool detailed = false) const;
};

class TCoreListItem : public TCoreObject {
 public:
  // A new item draws a new identifier.
  explicit TCoreListItem(std::string itemName = {});

  std::int32_t id = 0;  // 0: no identifier
  std::string name;

  std::string ClassName() const override { return "TCoreListItem"; }
  // name="<name>", ID=<id>
  std::string GetLogDescr(bool detailed = false) const override;
  virtual std::string GetName() const { return name; }
  // Appends the item record; true when the stream reports no error.
  virtual bool WriteItem(TUniStream& stream) const;
  // Reads one item record; on failure errorCode tells why (see core/list_item_record.h).
  virtual bool ReadItem(TUniStream& stream, std::uint16_t& errorCode);
};

class TCoreList : public TCoreObject {
 public:
  // maxCount is at least 2, growBy at least 1; initialRoom positions are reserved.
  TCoreList(std::uint16_t maxCount, std::uint8_t growBy, std::uint16_t initialRoom);
  ~TCoreList() override;
  TCoreList(const TCoreList&) = delete;
  TCoreList& operator=(const TCoreList&) = delete;

  std::string LastError;  // text of the last failed load or save, "" after success
  TDateTime changedAt = 0;  // 0: never changed
  TDateTime syncedAt = 0;   // last load or save

  std::string ClassName() const override { return "TCoreList"; }
  std::string GetLogDescr(bool detailed = false) const override;  // "#items=" + count

  // Frees every item and marks the list changed.
  virtual void Clear();
  // Appends a default item of the list's kind (with an identifier no other item holds);
  // false when the list is full. Does not mark the list changed: editors do that.
  virtual bool AddNew();
  // The list stream, or "" on failure (LastError tells why).
  std::string SaveToString();
  // Replaces the contents from a list stream; true only on full success.
  bool LoadFromString(std::string_view text);
  virtual bool WriteHeader(TUniStream& stream) const;
  virtual bool ReadHeader(TUniStream& stream);
  virtual void AfterLoad() {}
  // False (nothing written) when the stream cannot be made or would be too large to read back.
  bool SaveToFile(const std::string& fileName, bool quiet);
  bool LoadFromFile(const std::string& fileName, bool quiet);

  std::uint16_t Count() const { return static_cast<std::uint16_t>(m_items.size()); }
  std::uint16_t MaxCount() const { return m_maxCount; }
  bool IsEmpty() const { return m_items.empty(); }
  bool CanAdd() const { return m_items.size() < m_maxCount; }
  // Takes the item (item becomes empty) and returns true; when the list is full the item stays
  // with the caller and the result is false. Positions 1..Count() insert there, any other
  // position appends. Does not mark the list changed.
  bool Insert(std::unique_ptr<TCoreListItem>& item, int position);
  TCoreListItem* GetItem(int position) const;  // nullptr outside 1..Count()
  TCoreListItem* Last() const { return GetItem(Count()); }
  bool IsValidIndex(int position) const { return position >= 1 && position <= Count(); }
  // Frees the item and marks the list changed; an invalid position does nothing.
  void Delete(int position);
  // First position with that identifier; 0 for id 0 or none.
  int IndexOfID(std::int32_t id) const;
  // First position whose name equals `name` ignoring letter case, skipping exceptPosition;
  // 0 for an empty name or none.
  int IndexOfName(std::string_view name, int exceptPosition = 0) const;
  std::string GetItemName(int position) const;
  void SetModified(bool flag);
  void MarkSynced();
  bool IsModified() const { return changedAt > syncedAt; }

 protected:
  // A default item of the list's kind.
  virtual std::unique_ptr<TCoreListItem> CreateItem() const;

 private:
  std::uint16_t m_maxCount;
  std::uint8_t m_growBy;
  std::vector<std::unique_ptr<TCoreListItem>> m_items;
};

// Typed access for the concrete lists: the item at a position when it is of kind Item.
template <class Item>
Item* ItemAs(const TCoreList& list, int position) {
  return dynamic_cast<Item*>(list.GetItem(position));
}

}  // namespace mv
