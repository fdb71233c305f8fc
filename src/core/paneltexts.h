#pragma once

#include <QObject>
#include <QString>

// The value labels of the bottom panel. The `adres` text is the program's
// current address: tables, the user and the link hand addresses over here.
class PanelTexts : public QObject {
    Q_OBJECT
public:
    enum Field { Typ, Czas, Adres, AdresHex, CzasDoKon, CommPortNum, FieldCount };

    using QObject::QObject;

    QString text(Field field) const { return texts[field]; }
    void setText(Field field, const QString& value);

    QString typ() const { return texts[Typ]; }
    QString czas() const { return texts[Czas]; }
    QString adres() const { return texts[Adres]; }
    QString adreshex() const { return texts[AdresHex]; }
    QString czasDoKon() const { return texts[CzasDoKon]; }
    QString commportnum() const { return texts[CommPortNum]; }

    // The control name each field is shown under.
    static const char* controlName(Field field);

signals:
    void changed(PanelTexts::Field field, const QString& value);

private:
    QString texts[FieldCount];
};
