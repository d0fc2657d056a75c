#include "panels/row_list.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vendrel {

TRowList::TRowList(const std::vector<QString>& Titles, QWidget* Parent) : QWidget(Parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    header_ = new QWidget(this);
    header_->setFixedHeight(18);
    for (const QString& title : Titles) {
        auto* label = new QLabel(title, header_);
        label->setAlignment(Qt::AlignCenter);
        label->hide();
        titles_.push_back(label);
    }
    outer->addWidget(header_);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    rows_ = new QWidget();
    layout_ = new QVBoxLayout(rows_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(1);
    layout_->addStretch(1);
    scroll_->setWidget(rows_);
    outer->addWidget(scroll_);
    rows_->installEventFilter(this);
}

void TRowList::AddRow(QWidget* Row, std::vector<QWidget*> Columns) {
    Row->setParent(rows_);
    layout_->insertWidget(layout_->count() - 1, Row);
    entries_.push_back({Row, std::move(Columns)});
    Row->installEventFilter(this);
}

void TRowList::RemoveRow(QWidget* Row) {
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [Row](const Entry& e) { return e.Row == Row; });
    if (it != entries_.end()) {
        entries_.erase(it);
    }
    layout_->removeWidget(Row);
    Row->hide();
    Row->setParent(nullptr);
    Row->deleteLater();
    placeHeader();
}

void TRowList::SortRows(const std::vector<QWidget*>& Order) {
    int at = 0;
    for (QWidget* row : Order) {
        if (layout_->indexOf(row) < 0) {
            continue;
        }
        layout_->removeWidget(row);
        layout_->insertWidget(at++, row);
    }
}

void TRowList::ScrollTo(QWidget* Row) {
    scroll_->ensureWidgetVisible(Row, 0, scroll_->viewport()->height() / 2);
}

bool TRowList::eventFilter(QObject* Watched, QEvent* Event) {
    // The titles follow the rows: laid out again, resized, scrolled sideways, shown or hidden.
    const QEvent::Type t = Event->type();
    if (t == QEvent::LayoutRequest || t == QEvent::Resize || t == QEvent::Move || t == QEvent::Show ||
        t == QEvent::Hide) {
        QMetaObject::invokeMethod(
            this, [this] { placeHeader(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(Watched, Event);
}

void TRowList::placeHeader() {
    for (int i = 0; i < layout_->count(); ++i) {
        QWidget* row = layout_->itemAt(i)->widget();
        if (row == nullptr || !row->isVisibleTo(rows_)) {
            continue;
        }
        const auto it =
            std::find_if(entries_.begin(), entries_.end(), [row](const Entry& e) { return e.Row == row; });
        if (it == entries_.end()) {
            continue;
        }
        for (size_t k = 0; k < titles_.size() && k < it->Columns.size(); ++k) {
            const QWidget* field = it->Columns[k];
            const QPoint at = field->mapTo(header_->window(), QPoint(0, 0));
            const QPoint local = header_->mapFrom(header_->window(), at);
            titles_[k]->setGeometry(local.x(), 0, field->width(), header_->height());
            titles_[k]->show();
        }
        return;
    }
    for (QLabel* label : titles_) {
        label->hide();
    }
}

} // namespace vendrel
