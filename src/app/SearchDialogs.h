#pragma once

#include "DataFilter.h"
#include "DataManage.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QButtonGroup;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;

namespace lumidex {

// "File Size": a relation and a number of bytes for the size criterion.
class TSizeSpec : public QDialog {
    Q_OBJECT
public:
    explicit TSizeSpec(QWidget* parent = nullptr);
    void SetField(const std::string& text);
    Relation relation() const;
    // The field as a decimal integer, 0 when it is not one.
    int32_t Value() const;

private:
    QButtonGroup* relation_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "DateSpec": a relation, a local date and time, and whether only the day counts.
class TDateSpec : public QDialog {
    Q_OBJECT
public:
    explicit TDateSpec(QWidget* parent = nullptr);
    // seconds since 1970 UTC
    void SetTime(int64_t t);
    int64_t Value() const;
    bool DateOnly() const;
    Relation relation() const;

private:
    void ShowMode();
    QButtonGroup* relation_ = nullptr;
    QButtonGroup* mode_ = nullptr;
    QDateTimeEdit* picker_ = nullptr;
};

// "Search Memo": a memo of a group, or any memo of the group, for the memo criterion.
class TDataItemEditor : public QDialog {
    Q_OBJECT
public:
    explicit TDataItemEditor(QWidget* parent = nullptr);
    // Fills the groups from the memo table and chooses the first.
    void Prepare(DataManage& memos);
    // The test for the choice made; memos must outlive it.
    EntryTest Test(DataManage& memos) const;

private:
    void GroupChosen(int index);
    DataManage* memos_ = nullptr;
    QComboBox* itemComboBox_ = nullptr;
    QComboBox* itemValue_ = nullptr;
};

} // namespace lumidex
