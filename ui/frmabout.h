#pragma once

#include <QLabel>
#include <QWidget>

class ImageButton;

// The About window: the product's name, version, build and release date.
class FrmAbout : public QWidget
{
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);

    QLabel *lblInfo[4];
    QLabel *Picture1;
    ImageButton *cmdClose;

    void cmdClose_MouseUp();
};
