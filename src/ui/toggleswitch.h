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

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void captionsChanged();

    QString m_offCaption;
    QString m_onCaption;
    QColor m_textColour;
    QColor m_frameColour;
};
