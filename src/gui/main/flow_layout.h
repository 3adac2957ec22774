#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out in rows like words in a line of text: a row that has
// no room for the next widget goes on in a new row, so a narrow window shows
// every button instead of hiding some behind an overflow arrow.
class FlowLayout : public QLayout {
  public:
    explicit FlowLayout(QWidget* parent = nullptr, int spacing = 2);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

  private:
    // Places the items within rect (or only measures); the height used.
    int Arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
    int gap_;
};
