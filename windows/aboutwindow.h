#pragma once

#include <QLabel>
#include <QWidget>

class ImageButton;

// The About window: the product's name, version, build and release date.
class AboutWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

    QLabel *lblInfo[4];
    QLabel *Picture1;
    ImageButton *cmdClose;

    void cmdClose_MouseUp();
};
