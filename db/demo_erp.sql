-- Demo ERP database of the company "Vinexpert", a Cluj wholesaler of beverages and
-- fuels that receives excise goods as a registered consignee.
--
-- Login: company Vinexpert, user ana, password demo (stored as its SHA-256 digest).
-- Authorisations: RO0012345DI01 and RO0012345DI02 (destinatar inregistrat),
-- RO0012345AF01 (antrepozit fiscal, no invoices).
--
-- Every date is relative to the day the script is loaded, so the demo always has
-- supplier invoices in the current month and in the four months before it.
--
-- Load after erp_schema.sql and anexa19.sql:  psql -v ON_ERROR_STOP=1 -f demo_erp.sql

-- Day pzi of the month pluni months before the current one.
create function pg_temp.zi_luna(pluni integer, pzi integer) returns date
language sql stable as $$
    select (date_trunc('month', current_date) - make_interval(months => pluni))::date + (pzi - 1)
$$;

-- pzile days before today, but not before the first of the current month.
create function pg_temp.zi_recenta(pzile integer) returns date
language sql stable as $$
    select greatest(date_trunc('month', current_date)::date, current_date - pzile)
$$;

insert into eu (cod_cci, eu, eu_cui, eu_cif, tip_societate, reg_comert_jud, reg_comert_nr,
                reg_comert_data, data_incep_activitate, tara, localit, adresa, strada, nr_strada,
                cod_postal_adresa, telefon, email_adr, web_adr, eu_reprezentant_legal, cod_caen,
                nr_autorizatie_alcool, capital_social, jas_ip)
values ('CJ-0451', 'Vinexpert Distributie SRL', 'RO18273645', '18273645', 'SRL', 'J12', '2187',
        date '2006-03-14', date '2006-04-01', 'RO', 'Cluj-Napoca',
        'Str. Fabricii de Zahar nr. 42, Cluj-Napoca', 'Str. Fabricii de Zahar', '42', '400620',
        '0264 450 120', 'office@vinexpert.example', 'www.vinexpert.example', 'Ioana Muresan',
        '4634', 'CJ-ALC-0113', '200.000 lei', '192.168.1.10:8080');

insert into emitent (emitent, emitent_corect, este_operator, operator_parola, eu_punct_lucru,
                     functie, em_email_adr, lang)
values ('ana', 'Ana Pop', true, encode(sha256(convert_to('demo', 'UTF8')), 'hex'),
        'Sediu Cluj', 'responsabil accize', 'ana.pop@vinexpert.example', 'ro'),
       -- a user of the ERP who is not enabled for Korvat
       ('mihai', 'Mihai Rusu', true, encode(sha256(convert_to('demo', 'UTF8')), 'hex'),
        'Depozit Floresti', 'gestionar', 'mihai.rusu@vinexpert.example', 'ro');

insert into aplicatie_mob (aplicatie_mob, activ, obs)
values ('Korvat', true, 'Accize: declaratia A47, facturi furnizor, articole');

insert into aplicatie_mob_emitent (aplicatie_mob, emitent, rol)
values ('Korvat', 'ana', 'admin');

insert into emcs_autorizatie (nr_autorizatie, tip_autorizatie, data_ins)
values ('RO0012345DI01', 'destinatar inregistrat', timestamp '2019-02-11 10:24:00'),
       ('RO0012345DI02', 'destinatar inregistrat', timestamp '2022-09-05 14:02:00'),
       ('RO0012345AF01', 'antrepozit fiscal',      timestamp '2023-06-19 09:41:00');

insert into acciza (acciza_id, cod_acciza_ro, den_acciza)
values (10, 'B000', 'Bere'),
       (20, 'W200', 'Vinuri linistite'),
       (21, 'W300', 'Vinuri spumoase'),
       (30, 'I000', 'Produse intermediare'),
       (40, 'S200', 'Bauturi spirtoase'),
       (50, 'E430', 'Motorina'),
       (51, 'E500', 'Gaz petrolier lichefiat'),
       (52, 'E420', 'Benzina fara plumb'),
       (70, 'T200', 'Tigarete');

-- Category 60 is not defined: "Ulei de motor" keeps a category the ERP no longer has.
insert into articol (articol, um, cod_nc, packaging, grad_alcoolic, capacitate_litri,
                     greutate_neta, emcs_density, emcs_plato_degree, acciza_id)
values ('Bere blonda Carpatina 0.5L sticla',   'buc', '22030001', 'BO',  5.0,  0.5,  0.52, null,  11.8, 10),
       ('Bere blonda Carpatina 0.5L doza',     'buc', '22030009', 'CA',  5.0,  0.5,  0.51, null,  11.8, 10),
       ('Bere bruna Somesana 0.33L sticla',    'buc', '22030001', 'BO',  6.5,  0.33, 0.35, null,  14.5, 10),
       ('Bere nefiltrata Somesana keg 30L',    'buc', '22030009', 'KG',  4.8,  30,   30.5, null,  11.2, 10),
       ('Bere Weiss Sonnenberg 0.5L sticla',   'buc', '22030001', 'BO',  5.4,  0.5,  0.52, null,  12.6, 10),
       ('Bere fara alcool Carpatina 0.5L',     'buc', '22030001', 'BO',  0.4,  0.5,  0.52, null,   6.5, null),
       ('Vin alb sec Feteasca Alba 0.75L',     'buc', '22042179', 'BO', 12.5,  0.75, 0.78, null,  null, 20),
       ('Vin rosu sec Feteasca Neagra 0.75L',  'buc', '22042180', 'BO', 13.5,  0.75, 0.78, null,  null, 20),
       ('Vin rose demidulce Busuioaca 0.75L',  'buc', '22042180', 'BO', 11.5,  0.75, 0.78, null,  null, 20),
       ('Vin alb dulce Furmint 0.5L',          'buc', '22042159', 'BO', 11.0,  0.5,  0.53, null,  null, 20),
       ('Vin alb Riesling bag-in-box 3L',      'buc', '22042210', 'BX', 11.5,  3,    3.1,  null,  null, 20),
       ('Vin rosu Merlot vrac',                'l',   '22042996', null, 13.0,  1,    1,    0.994, null, 20),
       ('Vin spumant brut Val di Sole 0.75L',  'buc', '22041098', 'BO', 11.5,  0.75, 0.8,  null,  null, 21),
       ('Vin spumant extra dry 0.75L',         'buc', '22041015', 'BO', 11.0,  0.75, 0.8,  null,  null, 21),
       ('Vermut alb Val di Sole 1L',           'buc', '22051010', 'BO', 16.0,  1,    1.05, null,  null, 30),
       ('Vin licoros dulce 0.5L',              'buc', '22042185', 'BO', 18.0,  0.5,  0.55, null,  null, 30),
       ('Tuica de prune Valea Somesului 0.5L', 'buc', '22089048', 'BO', 40.0,  0.5,  0.5,  null,  null, 40),
       ('Palinca de pere 0.7L',                'buc', '22089054', 'BO', 45.0,  0.7,  0.7,  null,  null, 40),
       ('Vodca Carpatica 0.7L',                'buc', '22086011', 'BO', 40.0,  0.7,  0.7,  null,  null, 40),
       ('Vodca Carpatica 1L',                  'buc', '22086011', 'BO', 40.0,  1,    1,    null,  null, 40),
       ('Whisky ''Highland'' 12 ani 0.7L',     'buc', '22083071', 'BO', 40.0,  0.7,  0.7,  null,  null, 40),
       ('Gin London Dry 0.7L',                 'buc', '22085011', 'BO', 37.5,  0.7,  0.7,  null,  null, 40),
       ('Lichior de visine "Bunica" 0.5L',     'buc', '22087010', 'BO', 25.0,  0.5,  0.55, null,  null, 40),
       ('Vinars VSOP 0.7L',                    'buc', '22082029', 'BO', 40.0,  0.7,  0.7,  null,  null, 40),
       ('Motorina standard EN590',             'l',   '27101943', null, null,  1,    null, 0.835, null, 50),
       ('Motorina premium',                    'l',   '27101943', null, null,  1,    null, 0.84,  null, 50),
       ('GPL auto',                            'kg',  '27111294', null, null,  null, null, 0.54,  null, 51),
       ('Benzina fara plumb 95',               'l',   '27101245', null, null,  1,    null, 0.745, null, 52),
       ('Ulei de motor 5W40 4L',               'buc', '27101981', 'CN', null,  4,    3.45, 0.86,  null, 60),
       ('Apa minerala carbogazoasa 0.5L',      'buc', '22011011', 'BO', null,  0.5,  0.52, null,  null, null),
       ('Suc de mere natural 1L',              'buc', '20097999', 'BO', null,  1,    1.04, null,  null, null),
       ('Pahare vin cristal set 6 buc',        'buc', '70133799', 'BX', null,  null, 1.2,  null,  null, null),
       ('Navete bere 20 sticle',               'buc', '39231000', 'BX', null,  null, 1.6,  null,  null, null),
       ('Transport marfa',                     'buc', null,       null, null,  null, null, null,  null, null);

-- Documents. The base document's number is written as the ERP receives it: an e-DA's
-- ARC (21 characters) or a customs declaration's MRN (18 characters), both beginning
-- with the two-digit year of the base document, which is made here from ref_ue and
-- the base document's date (ue_zile days before the invoice).
insert into doc (data_doc, tip_doc, nr_doc, partener, data_anulare, data_doc_ue_baza,
                 tip_doc_ue_baza, nr_doc_ue_baza, emcs_eu_cod_acciza_depozit,
                 emcs_partener_cod_acciza_depozit)
select f.data_doc, f.tip_doc, f.nr_doc, f.partener, f.data_doc + f.anulata_dupa,
       f.data_doc - f.ue_zile, f.tip_ue, to_char(f.data_doc - f.ue_zile, 'YY') || f.ref_ue,
       f.autorizatie, f.cod_furnizor
from (values
    -- current month: the newest invoice is still without references
    (pg_temp.zi_recenta(0), 'FactFI', 'FI-2045', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEH7K2M9P4Q1R8S3T53', 2, 'RO0012345DI01', 'DE00012345601', null::integer),
    (pg_temp.zi_recenta(3), 'FactFI', 'FI-2046', 'A & B <SRL>',              'eDA', 'ITC2P8X5W1N7M3K9Q41', 3, 'RO0012345DI01', 'IT00MIA01234X', null),
    (pg_temp.zi_recenta(4), 'FactFE', 'FE-0312', 'Highland Spirits Ltd',     'VAMA', 'ROB4K7Q2M8X1Z5C3',   1, 'RO0012345DI01', null,            null),
    (pg_temp.zi_recenta(1), 'FactFI', 'FI-2047', 'Petrol Danubius Kft',      null,  null,                  null, null,           null,            null),
    (pg_temp.zi_recenta(2), 'FactC',  'C-5002',  'Restaurant Casa Veche SRL', null, null,                  null, null,           null,            null),
    -- one month ago: a cancelled one, one without the supplier's number, one with
    -- the kind of base document only, one without excise goods
    (pg_temp.zi_luna(1, 4),  'FactFI', 'FI-1988', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEJ3N8R2T6V1X5Z9B07', 2, 'RO0012345DI01', 'DE00012345602', null),
    (pg_temp.zi_luna(1, 8),  'FactFI', 'FI-1990', 'Tokaj Borhaz Kft',         'eDA', 'HUA5C9E3G7J1L6N2Q88', 3, 'RO0012345DI02', 'HU00012345A',   null),
    (pg_temp.zi_luna(1, 9),  'RetF',   'RF-0007', 'Brauerei Sonnenberg GmbH', null,  null,                  null, null,           null,            null),
    (pg_temp.zi_luna(1, 11), 'FactFI', 'FI-1995', 'Cantina Val di Sole SRL',  'eDA', 'ITK4M8P2S6U1W5Y9A32', 4, 'RO0012345DI01', 'IT00VRA00123B', null),
    (pg_temp.zi_luna(1, 13), 'FactFI', 'FI-1996', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEQ6S1U5W9Y3A7C2E64', 2, 'RO0012345DI01', null,            null),
    (pg_temp.zi_luna(1, 16), 'FactFE', 'FE-0298', 'Moldova Vin Export SA',    'VAMA', 'ROM2P6S9V3Y7B1E5',   1, 'RO0012345DI02', null,            null),
    (pg_temp.zi_luna(1, 19), 'FactFI', 'FI-2001', 'A & B <SRL>',              'eDA', 'ITF7H1K5M9P3R8T2V46', 3, 'RO0012345DI01', 'IT00MIA01234X', 2),
    (pg_temp.zi_luna(1, 21), 'FactFI', 'FI-2003', 'Petrol Danubius Kft',      'eDA', 'HUW4Y8A2C6E1G5J9L03', 1, 'RO0012345DI02', 'HU00098765B',   null),
    (pg_temp.zi_luna(1, 23), 'FactFI', 'FI-2004', 'Glaswerk Weiss GmbH',      null,  null,                  null, null,           null,            null),
    (pg_temp.zi_luna(1, 25), 'FactC',  'C-5001',  'Magazin La Doi Pasi SRL',  null,  null,                  null, null,           null,            null),
    (pg_temp.zi_luna(1, 26), 'FactFI', 'FI-2005', 'Tokaj Borhaz Kft',         'eDA', null,                  null, 'RO0012345DI02', null,           null),
    -- two months ago
    (pg_temp.zi_luna(2, 3),  'FactFI', 'FI-1920', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEB9D3F7H1K6M2P5R81', 2, 'RO0012345DI01', 'DE00012345601', null),
    (pg_temp.zi_luna(2, 7),  'FactFI', 'FI-1925', 'Tokaj Borhaz Kft',         'eDA', 'HUS1U6W2Y7A3C8E4G95', 3, 'RO0012345DI02', 'HU00012345A',   null),
    (pg_temp.zi_luna(2, 10), 'FactFE', 'FE-0280', 'Highland Spirits Ltd',     'VAMA', 'ROC7F1J4M8Q2T6W9',   2, 'RO0012345DI01', null,            null),
    (pg_temp.zi_luna(2, 15), 'FactFI', 'FI-1931', 'A & B <SRL>',              'eDA', 'ITN3Q7T1W5Z9C4F8J27', 4, 'RO0012345DI01', 'IT00MIA01235Y', null),
    (pg_temp.zi_luna(2, 18), 'FactFI', 'FI-1933', 'Cantina Val di Sole SRL',  'eDA', 'ITD8G2K6N1R5U9X3A74', 3, 'RO0012345DI01', 'IT00VRA00123B', null),
    (pg_temp.zi_luna(2, 21), 'FactFE', 'FE-0285', 'Moldova Vin Export SA',    'VAMA', 'ROH5L9P3T7X1B6F2',   1, 'RO0012345DI02', null,            1),
    (pg_temp.zi_luna(2, 25), 'FactFI', 'FI-1940', 'Petrol Danubius Kft',      'eDA', 'HUP2S6V1Y5B9E3H7K58', 1, 'RO0012345DI02', 'HU00098765B',   null),
    -- three and four months ago
    (pg_temp.zi_luna(3, 5),  'FactFI', 'FI-1870', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEZ4B8E2H6L1P5S9V36', 2, 'RO0012345DI01', 'DE00012345602', null),
    (pg_temp.zi_luna(3, 12), 'FactFI', 'FI-1874', 'Tokaj Borhaz Kft',         'eDA', 'HUG6J1M5Q9T3W8Z2C41', 3, 'RO0012345DI02', 'HU00012345A',   null),
    (pg_temp.zi_luna(3, 17), 'FactFE', 'FE-0260', 'Moldova Vin Export SA',    'VAMA', 'ROT8W3A7D1G5K9N4',   2, 'RO0012345DI02', null,            null),
    (pg_temp.zi_luna(3, 24), 'FactFI', 'FI-1880', 'Petrol Danubius Kft',      'eDA', 'HUK9N4R8U2X6A1D5G19', 1, 'RO0012345DI02', 'HU00098765B',   null),
    (pg_temp.zi_luna(4, 9),  'FactFI', 'FI-1821', 'Brauerei Sonnenberg GmbH', 'eDA', 'DEV1Y5C9F3J7M2Q6T85', 2, 'RO0012345DI01', 'DE00012345601', null),
    (pg_temp.zi_luna(4, 20), 'FactFE', 'FE-0241', 'Highland Spirits Ltd',     'VAMA', 'ROE2H6L1P5S9V3Y8',   3, 'RO0012345DI01', null,            null),
    -- next month: already entered, not yet due
    (pg_temp.zi_luna(-1, 5), 'FactFI', 'FI-2099', 'Brauerei Sonnenberg GmbH', null,  null,                  null, null,           null,            null)
) as f (data_doc, tip_doc, nr_doc, partener, tip_ue, ref_ue, ue_zile, autorizatie, cod_furnizor, anulata_dupa);

-- Lines; the excise category comes from the article, as the ERP copies it.
insert into doc_poz (data_doc, tip_doc, nr_doc, scv, articol, acciza_id, cantitate, pret)
select d.data_doc, d.tip_doc, d.nr_doc, l.scv, l.articol, a.acciza_id, l.cantitate, l.pret
from (values
    ('FI-2045', 1, 'Bere blonda Carpatina 0.5L sticla', 2400, 2.10),
    ('FI-2045', 2, 'Bere blonda Carpatina 0.5L doza', 1200, 2.05),
    ('FI-2045', 3, 'Bere fara alcool Carpatina 0.5L', 480, 1.90),
    ('FI-2045', 4, 'Navete bere 20 sticle', 120, 3.50),
    ('FI-2046', 1, 'Vodca Carpatica 0.7L', 600, 18.50),
    ('FI-2046', 2, 'Lichior de visine "Bunica" 0.5L', 120, 14.00),
    ('FI-2046', 3, 'Gin London Dry 0.7L', 240, 22.00),
    ('FE-0312', 1, 'Whisky ''Highland'' 12 ani 0.7L', 360, 31.00),
    ('FE-0312', 2, 'Gin London Dry 0.7L', 120, 21.50),
    ('FI-2047', 1, 'Motorina standard EN590', 30000, 1.05),
    ('FI-2047', 2, 'Motorina premium', 8000, 1.12),
    ('C-5002',  1, 'Vin rosu sec Feteasca Neagra 0.75L', 36, 39.00),
    ('C-5002',  2, 'Vodca Carpatica 0.7L', 12, 95.00),
    ('FI-1988', 1, 'Bere nefiltrata Somesana keg 30L', 40, 55.00),
    ('FI-1988', 2, 'Bere bruna Somesana 0.33L sticla', 2400, 2.30),
    ('FI-1988', 3, 'Bere Weiss Sonnenberg 0.5L sticla', 1200, 2.60),
    ('FI-1990', 1, 'Vin alb dulce Furmint 0.5L', 600, 6.40),
    ('FI-1990', 2, 'Vin alb Riesling bag-in-box 3L', 200, 9.80),
    ('RF-0007', 1, 'Bere nefiltrata Somesana keg 30L', 4, 55.00),
    ('FI-1995', 1, 'Vin spumant brut Val di Sole 0.75L', 360, 7.50),
    ('FI-1995', 2, 'Vin spumant extra dry 0.75L', 240, 6.80),
    ('FI-1995', 3, 'Transport marfa', 1, 350.00),
    ('FI-1996', 1, 'Bere blonda Carpatina 0.5L sticla', 1200, 2.10),
    ('FE-0298', 1, 'Vin rosu sec Feteasca Neagra 0.75L', 600, 4.20),
    ('FE-0298', 2, 'Vin rosu Merlot vrac', 5000, 1.10),
    ('FE-0298', 3, 'Vin rose demidulce Busuioaca 0.75L', 300, 3.90),
    ('FI-2001', 1, 'Palinca de pere 0.7L', 120, 16.00),
    ('FI-2001', 2, 'Vodca Carpatica 1L', 60, 24.00),
    ('FI-2003', 1, 'Motorina standard EN590', 28000, 1.02),
    ('FI-2003', 2, 'Motorina premium', 12000, 1.10),
    ('FI-2004', 1, 'Pahare vin cristal set 6 buc', 50, 45.00),
    ('FI-2004', 2, 'Transport marfa', 1, 180.00),
    ('C-5001',  1, 'Bere blonda Carpatina 0.5L sticla', 480, 4.20),
    ('C-5001',  2, 'Vin alb sec Feteasca Alba 0.75L', 60, 32.00),
    ('FI-2005', 1, 'Vin alb dulce Furmint 0.5L', 300, 6.40),
    ('FI-2005', 2, 'Vin alb sec Feteasca Alba 0.75L', 300, 4.10),
    ('FI-1920', 1, 'Bere blonda Carpatina 0.5L sticla', 3600, 2.10),
    ('FI-1920', 2, 'Bere blonda Carpatina 0.5L doza', 2400, 2.05),
    ('FI-1925', 1, 'Vin alb dulce Furmint 0.5L', 900, 6.40),
    ('FI-1925', 2, 'Vin alb sec Feteasca Alba 0.75L', 600, 4.10),
    ('FE-0280', 1, 'Whisky ''Highland'' 12 ani 0.7L', 240, 31.00),
    ('FE-0280', 2, 'Gin London Dry 0.7L', 240, 21.50),
    ('FI-1931', 1, 'Vodca Carpatica 1L', 300, 24.00),
    ('FI-1931', 2, 'Tuica de prune Valea Somesului 0.5L', 240, 12.00),
    ('FI-1933', 1, 'Vermut alb Val di Sole 1L', 240, 8.90),
    ('FI-1933', 2, 'Vin spumant brut Val di Sole 0.75L', 120, 7.50),
    ('FE-0285', 1, 'Vin rosu Merlot vrac', 3000, 1.10),
    ('FI-1940', 1, 'Motorina standard EN590', 25000, 1.04),
    ('FI-1940', 2, 'Ulei de motor 5W40 4L', 200, 21.00),
    ('FI-1870', 1, 'Bere Weiss Sonnenberg 0.5L sticla', 2400, 2.60),
    ('FI-1870', 2, 'Bere nefiltrata Somesana keg 30L', 60, 55.00),
    ('FI-1874', 1, 'Vin alb dulce Furmint 0.5L', 600, 6.40),
    ('FI-1874', 2, 'Vin licoros dulce 0.5L', 180, 11.50),
    ('FE-0260', 1, 'Vin rosu sec Feteasca Neagra 0.75L', 1200, 4.20),
    ('FE-0260', 2, 'Vinars VSOP 0.7L', 300, 14.00),
    ('FI-1880', 1, 'GPL auto', 12000, 0.52),
    ('FI-1880', 2, 'Benzina fara plumb 95', 20000, 1.15),
    ('FI-1821', 1, 'Bere blonda Carpatina 0.5L sticla', 2400, 2.05),
    ('FE-0241', 1, 'Whisky ''Highland'' 12 ani 0.7L', 480, 30.50),
    ('FI-2099', 1, 'Bere blonda Carpatina 0.5L sticla', 2400, 2.10)
) as l (nr_doc, scv, articol, cantitate, pret)
join doc d on d.nr_doc = l.nr_doc
left join articol a on a.articol = l.articol;

-- Goods-received notes made from the invoices, on the invoice's day (FI-1995 was
-- received in two deliveries; FI-2047 has not arrived yet), and a return made from FI-1988.
with nir (nr_doc, factura, zile_dupa) as (
    select 'NIR-' || (3400 + row_number() over (order by data_doc, nr_doc)), nr_doc, 0
    from doc
    where tip_doc in ('FactFI', 'FactFE')
      and data_anulare is null
      and nr_doc not in ('FI-2047', 'FI-2099')
    union all
    select 'NIR-3499', 'FI-1995', 3
),
note as (
    insert into doc (data_doc, tip_doc, nr_doc, partener)
    select f.data_doc + n.zile_dupa, 'NIR', n.nr_doc, f.partener
    from nir n join doc f on f.nr_doc = n.factura
)
insert into doc_creare (data_doc, tip_doc, nr_doc, data_doc_sursa, tip_doc_sursa, nr_doc_sursa)
select f.data_doc + n.zile_dupa, 'NIR', n.nr_doc, f.data_doc, f.tip_doc, f.nr_doc
from nir n join doc f on f.nr_doc = n.factura
union all
select r.data_doc, r.tip_doc, r.nr_doc, f.data_doc, f.tip_doc, f.nr_doc
from doc r, doc f
where r.nr_doc = 'RF-0007' and f.nr_doc = 'FI-1988';
