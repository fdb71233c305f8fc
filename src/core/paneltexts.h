#pragma once

#include <QObject>
#include <QString>

// The value labels of the bottom panel. The address text is the program's
// current address: tables, the user and the link hand addresses over here.
// The hexadecimal display always shows the same address: setting the address
// sets it too, so the two never disagree whoever writes the address.
class PanelTexts : public QObject {
    Q_OBJECT
public:
    enum Field { ChipName, TotalTime, Address, AddressHex, TimeToEnd, PortNumber, FieldCount };

    using QObject::QObject;

    QString text(Field field) const { return texts[field]; }
    void setText(Field field, const QString& value);

    QString chipName() const { return texts[ChipName]; }
    QString totalTime() const { return texts[TotalTime]; }
    QString address() const { return texts[Address]; }
    QString addressHex() const { return texts[AddressHex]; }
    QString timeToEnd() const { return texts[TimeToEnd]; }
    QString portNumber() const { return texts[PortNumber]; }

    // The control name each field is shown under.
    static const char* controlName(Field field);

signals:
    void changed(PanelTexts::Field field, const QString& value);

private:
    QString texts[FieldCount];
};
