#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// A toggle switch with a caption for each state, shown beside the switch. Its state change is one
// signal, toggled(bool), whether the user clicked it or the program called setChecked, so one
// handler serves both; setting the state it already has changes nothing and signals nothing.
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);

    QString offCaption() const { return m_offCaption; }
    QString onCaption() const { return m_onCaption; }
    void setOffCaption(const QString& caption);
    void setOnCaption(const QString& caption);
    // The caption of the current state.
    QString caption() const { return isChecked() ? m_onCaption : m_offCaption; }

    // Colour of the caption, and of the frame and thumb of the switch.
    void setColours(const QColor& textColour, const QColor& frameColour);

    // One line for the longer caption; a narrower switch wraps its caption onto more lines, and
    // its height for a width makes room for them.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // Where the caption is painted; it wraps at word boundaries within this width.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Not every layout asks for the height for a width (a dialog of fixed size does not), so the
    // switch asks for the lines of its wrapped caption as its minimum height.
    void resizeEvent(QResizeEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void captionsChanged();
    int captionHeight(int captionWidth) const;

    QString m_offCaption;
    QString m_onCaption;
    QColor m_textColour;
    QColor m_frameColour;
};
