#pragma once
// The keyboard check the windows of this folder share: every button, check box and labelled
// field has a mnemonic of its own.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace mv {
namespace test {

// The mnemonic letters of the buttons, check boxes and labels with a buddy below `root` (the
// dialog's OK and Cancel, which Enter and Escape serve, left out), each text's letter in small
// letters; "" for a text without one.
inline std::vector<QString> Mnemonics(QWidget* root) {
  std::vector<QString> letters;
  const auto letter = [](const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.mid(at + 1, 1).toLower() : QString();
  };
  for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
    if (qobject_cast<QDialogButtonBox*>(button->parentWidget())) continue;
    // The corner button of a table, the scroll arrows of a tab bar: no text to mark.
    if (button->text().isEmpty() && !qobject_cast<QPushButton*>(button) && !qobject_cast<QCheckBox*>(button)) continue;
    letters.push_back(letter(button->text()));
  }
  for (QLabel* label : root->findChildren<QLabel*>()) {
    if (label->buddy()) letters.push_back(letter(label->text()));
  }
  return letters;
}

// Every text has a mnemonic and no two share one, except the letters named in `shared`.
inline void ExpectOwnMnemonics(QWidget* root, const QString& shared = {}) {
  std::vector<QString> letters = Mnemonics(root);
  for (const QString& l : letters) EXPECT_FALSE(l.isEmpty()) << root->objectName().toStdString();
  std::sort(letters.begin(), letters.end());
  for (std::size_t i = 1; i < letters.size(); ++i) {
    if (!letters[i].isEmpty() && letters[i] == letters[i - 1] && !shared.contains(letters[i])) {
      ADD_FAILURE() << root->objectName().toStdString() << ": mnemonic " << letters[i].toStdString() << " twice";
    }
  }
}

}  // namespace test

}  // namespace mv
