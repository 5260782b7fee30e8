// The application object: an exception that reaches the event loop from a
// command is reported in an error box, and the program goes on with the
// open file and its unsaved changes.
#include "GuiTestSupport.h"
#include "app/Application.h"
#include "ui/FormSetup.h"
#include "ui/MessageBox.h"

#include <QTimer>
#include <QtTest>

#include <new>
#include <stdexcept>

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void anExceptionInACommandIsReportedAndTheProgramGoesOn() {
        guitest::Env env;
        auto form = guitest::MakeForm(env);
        guitest::OpenThroughMenu(*form, guitest::WriteSample(env));
        QVERIFY(form->Doc().FileOpened());
        form->Doc().SetDataChanged(true);
        guitest::TakeShownTexts();

        QTimer::singleShot(0, form.get(), [] { throw std::bad_alloc(); });
        QTRY_COMPARE(ui::MessageBox::shown().size(), 1);
        QTimer::singleShot(0, form.get(), [] { throw std::runtime_error("the disk is on fire"); });
        QTRY_COMPARE(ui::MessageBox::shown().size(), 2);
        const QList<ui::MessageBox::Shown> shown = ui::MessageBox::shown();
        QCOMPARE(shown[0].kind, ui::MessageBox::Error);
        QCOMPARE(shown[0].text, ui::MessageText(app::Application::FailureText("there is not enough memory for it")));
        QCOMPARE(shown[1].text, ui::MessageText(app::Application::FailureText("the disk is on fire")));
        QVERIFY(form->Doc().FileOpened() && form->Doc().DataChanged());
        QVERIFY(form->isVisible());
        // The window still works.
        form->SG_SatClick();
        QVERIFY(form->Doc().FileOpened());
        form->Doc().SetDataChanged(false);
    }
};

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_application.moc"
