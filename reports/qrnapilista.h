#pragma once

#include "report.h"

#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace mivo::reports
{

/// Where one layout of the daily work instruction puts each item of a job's band (report
/// units, relative to the band; an empty rectangle leaves the item out) and which marks it
/// prints. The three layouts differ only in this description.
struct NapilistaLayout {
    QString name; ///< "Tqr_napilista", "Tqr_napilista2", "Tqr_napilista3"
    struct Caption {
        QString text;
        double x;
    };
    std::vector<Caption> captions; ///< the column captions above the jobs
    double bandHeight = 0;
    QRectF counter, dedu;
    QRectF customerName, customerPhone;
    /// address1 holds IRSZAM VAROS (and ", " + UTCA when address2 is empty).
    QRectF address1, address2;
    QRectF appliance, activity;
    QRectF task; ///< QRL_alk: LEIRAST and the parts line
    QRectF cancelled, phoneAhead, ready;
    QString cancelledText;   ///< "LEMONDTA" or "LEMONDTA."
    bool readyMark = false;  ///< "KÉSZ" when KESZ = "I"
    QRectF remark;           ///< the customer's two remark lines joined
    bool checkBoxes = false; ///< "Kiadva", "Ellenőrizve", "Megoldva" with empty boxes
    QRectF checkBoxArea;     ///< their column, one under the other
};

/// The layout for the own company code: "RUDVEK" → Tqr_napilista2, "VELKOR" → Tqr_napilista3,
/// any other → Tqr_napilista.
const NapilistaLayout& napilistaLayout(const QString& ownCompany);

/// The daily work instruction of a technician (or "MIND") for the dates ("yyyy.mm.dd", both
/// included) in the layout: one page group per technician-day headed by the technician's name,
/// the date and its weekday, the jobs counted from 1 within each technician-day, and
/// "Nyomtatta: " + the user at the foot. A period without jobs is one page whose heading tells
/// the absence reason or " NINCS MUNKÁJA". The title defaults to "Szerelő napi lista". Null
/// with the database's text when the data cannot be read.
std::unique_ptr<report::Report> buildNapilista(const NapilistaLayout& layout,
                                               const QString& technician, const QString& from,
                                               const QString& to, const QString& title,
                                               QString* error);

} // namespace mivo::reports
