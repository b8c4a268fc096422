// Switches the process to a German locale, whose decimal separator is the comma, for the
// lifetime of the object: both the C library's locale and Qt's default locale.
#pragma once

#include <QLocale>

#include <clocale>
#include <string>

class TCommaLocale {
public:
    TCommaLocale() : m_previousQt(QLocale()) {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        m_previousC = previous != nullptr ? previous : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                m_active = true;
                break;
            }
        }
        if (m_active)
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~TCommaLocale() {
        std::setlocale(LC_ALL, m_previousC.c_str());
        QLocale::setDefault(m_previousQt);
    }
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;

    // False when the system has no German locale (scripts/ensure-locale generates it).
    bool Active() const { return m_active; }

private:
    std::string m_previousC;
    QLocale m_previousQt;
    bool m_active = false;
};
