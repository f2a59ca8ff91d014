-- Company directory (database "zub_mob").
--
-- One row per company: where its ERP database lies and how its users' passwords are
-- stored. Korvat finds the company by its exact name:
--     select * from m_firma where nume_firma = :pNumeFirma
-- and uses the first row when several match; id gives the rows a stable order.
-- activ and m_site belong to other programs of the directory; Korvat only fetches them.
--
-- Load into an empty database:  psql -v ON_ERROR_STOP=1 -f directory_schema.sql

create table m_firma (
    id           serial primary key,
    nume_firma   varchar(200) not null,
    ip           text,                    -- server address of the company's ERP database
    port         integer,
    db_name      text,
    activ        boolean,
    m_site       boolean not null default false,
    pw_hash_type varchar(23)              -- 'HashSHA2': passwords stored as SHA-256 hex
);

create index m_firma_nume_firma on m_firma (nume_firma);
