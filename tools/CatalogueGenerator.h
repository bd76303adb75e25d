#pragma once

#include <QString>
#include <random>

// Makes plausible catalogue rows (codes, names, places, prices that agree with the
// frequency, serial numbers, a remark) from word lists, the same rows for the same
// seed. Page 0 begins with well-known titles, 人民日报 first.
class CatalogueGenerator
{
public:
    struct Record
    {
        QString code, name, place, category, publishDate;
        double unitPrice = 0, monthPrice = 0, yearPrice = 0;
        QString remarks, frequency, kind;
        QString serialNo;   // empty: none (imported titles)
        QString issn;
    };

    explicit CatalogueGenerator(unsigned seed = 20080301u);

    // The n-th row (from 0) of a page's table; call with n = 0, 1, 2 ... in turn.
    Record next(int pageIndex, int n);

private:
    int pick(int count);
    QString issnFor(int serial) const;

    std::mt19937 m_random;
};
