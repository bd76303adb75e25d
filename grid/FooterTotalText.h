#pragma once

#include "app/data/Query.h"

#include <QString>

class TColumnFooter;

// The text of a footer total that a walk (export, printing) added up itself: a count
// as a plain number, a sum with the footer's display format when it has one, else as
// a whole number for integer fields and in general number format otherwise.
QString FooterTotalText(const TColumnFooter *footer, FieldKind kind, qint64 total);
