#pragma once

#include "reports/report.h"

#include <QStringList>

#include <memory>

namespace mivo
{

/// The text report of the text editor: A4 portrait, the lines in size 10, words wrapped to
/// the page's width, one band per printed line so that a long text goes on over pages.
std::unique_ptr<report::Report> TqrTextNez(const QStringList& lines);

} // namespace mivo
