#pragma once

// plotreel-bench db: loads 1,000,000 records of a time and three numbers
// through the database tab's load, from PostgreSQL and from an SQLite file,
// and the same records with the databases' own clients (psql's \copy to
// /dev/null, the sqlite3 shell printing to /dev/null) in the same run. Prints
// the rows per second and the ratio of the times, and how far the resident
// size rises while three PostgreSQL records of 100 MB of unloaded text each
// load. Without PLOTREEL_PG_PORT it
// runs itself again under scripts/postgres.sh, which starts a private server.
// Returns the process exit code.
int RunDatabaseBench(int argc, char** argv);
