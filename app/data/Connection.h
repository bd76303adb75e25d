#pragma once

#include <QString>

struct sqlite3;

// One connection to an encrypted database file, made from a connection text of
// the form "...;Data Source=<path>;...;Jet OLEDB:Database Password=<password>".
// The data source path and the password are read from that text; the other
// pieces are accepted and ignored.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionString(const QString &text);
    QString connectionString() const { return m_connectionString; }

    // The pieces read from the connection text.
    static QString dataSourceOf(const QString &connectionString);
    static QString passwordOf(const QString &connectionString);

    // Opens the file with the password as its key and reads the schema once, so a
    // wrong key, a missing file or a foreign file fails here. A missing file is
    // never created. Throws DatabaseError.
    void open();
    void close();
    bool isConnected() const { return m_db != nullptr; }

    // Runs statements that return no rows (the tool uses it; the program does not).
    void execute(const QString &sql);

    sqlite3 *handle() const { return m_db; }

private:
    QString m_connectionString;
    sqlite3 *m_db = nullptr;
};
