#pragma once
// The first window: writes the first-run files and, unless switched off, shows a
// picture of the main window with tips, until the user enters Jotlark.
#include "app/Services.h"
#include "store/AppPaths.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;

class Help : public QWidget {
    Q_OBJECT
public:
    enum class LoadResult { Show, Skip, FirstRunFailed };

    Help(Services services, AppPaths paths, std::function<void()> showMainWindow, QWidget* parent = nullptr);

    // First run, then S: Skip when the page is switched off (the caller shows the
    // main window), Show when it is to be shown, FirstRunFailed after the error
    // message has been shown.
    LoadResult load();
    void showCentred();

    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    std::array<QLabel*, 7> Label2{};
    std::array<QLabel*, 7> Label8{};
    std::array<QLabel*, 4> Label4{};
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;

private:
    void enter();

    Services m_services;
    AppPaths m_paths;
    std::function<void()> m_showMainWindow;
    QWidget* m_overlay = nullptr;
};
