#pragma once

#include <QListWidget>
#include <QScrollBar>

namespace cantorel {

// The assistant shows each lyric line and its time in two lists side by side:
// selecting or scrolling one moves the other with it.
inline void linkPairedLists(QListWidget *a, QListWidget *b) {
  QObject::connect(a, &QListWidget::currentRowChanged, b, [b](int row) {
    if (b->currentRow() != row) b->setCurrentRow(row);
  });
  QObject::connect(b, &QListWidget::currentRowChanged, a, [a](int row) {
    if (a->currentRow() != row) a->setCurrentRow(row);
  });
  QObject::connect(a->verticalScrollBar(), &QScrollBar::valueChanged, b->verticalScrollBar(),
                   &QScrollBar::setValue);
  QObject::connect(b->verticalScrollBar(), &QScrollBar::valueChanged, a->verticalScrollBar(),
                   &QScrollBar::setValue);
}

}  // namespace cantorel
