#include "spc/dataset_basic.h"

#include "core/date_time.h"
#include "core/identifiers.h"
#include "core/text.h"
#include "spc/spc_types.h"

namespace mv {

TDatasetBasic::TDatasetBasic(DatasetKind datasetKind) : id(NewIdentifier()), kind(datasetKind), created(Now()) {
  columnWidths.fill(kDefaultColumnWidth);
  creationNote = CutToChars(DateTimeText(created) + " Создание набора данных", kCreationNoteMax);
}

int TDatasetBasic::TypeCode() const { return (kind == DatasetKind::Spc ? 1 : 3) + (inDatabase ? 1 : 0); }

bool TDatasetBasic::IsExample() const { return (accessFlags & access_flag::kExample) != 0; }

void TDatasetBasic::SetNewIdentifier() {
  id = NewIdentifier();
  accessFlags &= ~access_flag::kExample;
}

void TDatasetBasic::Touch() { changedAt = Now(); }

std::string TDatasetBasic::LogDetails() const {
  std::string text;
  if (isNew) text += ", new dataset";
  if (passwordHash != 0) text += ", secured by \"" + responsible + "\"";
  return text;
}

void TDatasetBasic::MarkSaved() {
  savedAt = Now();
  isNew = false;
}

}  // namespace mv
