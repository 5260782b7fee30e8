// The waiting form: a small borderless, always-on-top, half-transparent black
// band with a red message, shown centred on the screen while a file is read
// or written.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;

class TFormFace : public QWidget {
    Q_OBJECT
public:
    explicit TFormFace(QWidget* parent = nullptr);

    // Sets the message, shows the form centred on the screen, paints it and
    // lets pending events run once, so it is visible before the work starts.
    void ShowWith(const QString& text);

    QLabel* Label1 = nullptr;

    static constexpr int kClientWidth = 490;
    static constexpr int kClientHeight = 42;
    static constexpr int kAlpha = 155; // of 255
};

// Shows a waiting form for the lifetime of the object (or until close()).
class WaitingForm {
public:
    WaitingForm(QWidget* parent, const QString& text);
    ~WaitingForm();
    WaitingForm(const WaitingForm&) = delete;
    WaitingForm& operator=(const WaitingForm&) = delete;

    void close();
    TFormFace* form() const { return face_; }

private:
    TFormFace* face_ = nullptr;
};
