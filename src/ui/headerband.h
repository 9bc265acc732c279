#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QVBoxLayout;

// The band across the top of every dialog: the brand colour, a picture at the left edge and the
// white title beside it, with room for further white lines below the title.
class HeaderBand : public QFrame
{
    Q_OBJECT

public:
    static constexpr int Height = 65;

    // picture: a picture name of the program's icons; titleTag: the Tag that translates the title.
    HeaderBand(const QString& picture, const QString& title, int titleTag, QWidget* parent = nullptr);

    void setPicture(const QString& picture);
    QLabel* titleLabel() const { return m_title; }
    // Adds a white line of plain text below the title and returns it.
    QLabel* addLine(const QString& text = {});

private:
    QLabel* m_picture;
    QLabel* m_title;
    QVBoxLayout* m_lines;
};
