#pragma once
// A list of rows, one per element (loose cabinets, an array's elements, a cluster's cabinets, beams,
// measurement points, layers, EQ bands ...): the rows stacked in a scroll area, with column titles
// that stand over the fields of the first row shown and follow it when the rows are laid out again,
// resized or scrolled sideways. No row shown: no titles. Rows are the caller's widgets; the list
// takes them as children and frees a row it is asked to remove once control is back in the event
// loop (a row may remove itself from one of its own handlers).

#include <QWidget>

#include <vector>

class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace vendrel {

class TRowList : public QWidget {
    Q_OBJECT
public:
    TRowList(const std::vector<QString>& Titles, QWidget* Parent);

    // Appends a row; Columns are its fields under the titles, in the titles' order.
    void AddRow(QWidget* Row, std::vector<QWidget*> Columns);
    // Takes the row out at once and frees it later.
    void RemoveRow(QWidget* Row);
    // Stacks the rows in the given order (rows not listed keep their place after them).
    void SortRows(const std::vector<QWidget*>& Order);
    // Scrolls the list so that the row stands in its middle.
    void ScrollTo(QWidget* Row);

    // The widget holding the rows (the rows' parent) and the scroll area around it.
    QWidget* Rows() const { return rows_; }
    QScrollArea* Scroll() const { return scroll_; }
    QWidget* Header() const { return header_; }
    int RowCount() const { return static_cast<int>(entries_.size()); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct Entry {
        QWidget* Row = nullptr;
        std::vector<QWidget*> Columns;
    };
    void placeHeader();

    QWidget* header_ = nullptr;
    std::vector<QLabel*> titles_;
    QScrollArea* scroll_ = nullptr;
    QWidget* rows_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    std::vector<Entry> entries_;
};

} // namespace vendrel
