#pragma once

#include "app/data/Query.h"

#include <QList>
#include <QString>
#include <QStringList>

// The layout of the database file: the five tables with their typed columns and the
// indexes of the searchable fields. Only the catalogue tool creates tables; the
// program relies on the names alone.
namespace Schema {

struct Column
{
    QString name;
    FieldKind kind;
};

// POST, NOPOST, POSTFOREIGN, tOrder, KH.
QStringList tableNames();
// The table's own spelling of a name given in any case; empty when unknown.
QString canonicalTable(const QString &name);
bool isCatalogue(const QString &table);

// Columns in table order; empty for an unknown table.
QList<Column> columns(const QString &table);

// Every CREATE TABLE and CREATE INDEX statement, tables first.
QStringList createStatements();

} // namespace Schema
