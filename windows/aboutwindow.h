#pragma once

#include <QWidget>

class ImageButton;
class QLabel;

// The About window: the product's name, version, build and release date.
class AboutWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

private:
    void closeWindow();

    QLabel *m_picture;
    QLabel *m_infoLabels[4];
    ImageButton *m_closeButton;
};
