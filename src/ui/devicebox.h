#pragma once

#include <QGroupBox>
#include <QString>

class QLabel;

// A framed box with a device picture and a caption that says what the function switches. The
// caption wraps inside the box, where a group-box title would be cut off.
class DeviceBox : public QGroupBox
{
    Q_OBJECT

public:
    // picture: a picture name of the program's icons.
    DeviceBox(const QString& picture, QWidget* parent = nullptr);

    QString caption() const;
    void setCaption(const QString& caption);

private:
    QLabel* m_caption;
};
