-- Demo company directory: one company, "Vinexpert", whose ERP database is the demo
-- ERP database (demo_erp.sql). Its users' passwords are stored as SHA-256 digests.
--
-- The demo ERP database lives on a server started at demo time, so its place is
-- given to this script as psql variables:
--     company_host   server address of the demo ERP database (for example 127.0.0.1)
--     company_port   its port
--     company_db     its database name
--
--   psql -v ON_ERROR_STOP=1 -v company_host=127.0.0.1 -v company_port=54321 \
--        -v company_db=vinexpert -d zub_mob -f demo_directory.sql
--
-- Load after directory_schema.sql.

\if :{?company_host}
\else
    do $$ begin raise exception 'demo_directory.sql needs the psql variable company_host'; end $$;
\endif
\if :{?company_port}
\else
    do $$ begin raise exception 'demo_directory.sql needs the psql variable company_port'; end $$;
\endif
\if :{?company_db}
\else
    do $$ begin raise exception 'demo_directory.sql needs the psql variable company_db'; end $$;
\endif

insert into m_firma (nume_firma, ip, port, db_name, activ, m_site, pw_hash_type)
values ('Vinexpert', :'company_host', :'company_port'::integer, :'company_db', true, false, 'HashSHA2');
