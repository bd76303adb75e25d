#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A database file in a temporary working directory, made with the catalogue tool's
// code: the five tables, a few catalogue rows per page and optional order lines.
class TestDatabase
{
public:
    // `folder`: a directory of that name inside the temporary one holds the file.
    explicit TestDatabase(const QString &folder = QString());

    QString dir() const;
    QString path() const;

    // Catalogue row: code, name, place, category, frequency, kind, year price, month price.
    void addCatalogue(int page, const QString &code, const QString &name, double yearPrice = 120,
                      double monthPrice = 10, const QString &place = QStringLiteral("北京"),
                      const QString &issn = QString());
    void addOrder(int type, const QString &code, int copies, double amount,
                  const QString &period = QStringLiteral("2008.01.01-12.31"), double yearPrice = 120);
    void execute(const QString &sql);

    // Rows of a statement, fields joined with '|'.
    QStringList rows(const QString &sql) const;
    int count(const QString &table) const;

    // A small catalogue on all three pages.
    void fillSample();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};
