#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out left to right at their preferred sizes and starts a
// new row when the next one would not fit, so a row of groups under a grid
// keeps every field whole at a small window instead of squeezing them.
class TFlowLayout : public QLayout
{
public:
    explicit TFlowLayout(QWidget *parent = nullptr, int spacing = 6);
    ~TFlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in rect (only measures when apply is false) and
    // returns the height used.
    int Arrange(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> m_items;
    int m_spacing;
};
