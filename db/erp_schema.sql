-- Company ERP database, as far as Korvat relies on it.
--
-- The ERP itself owns these tables; Korvat reads users, applications and the company
-- record at login, lists and edits the excise references of supplier invoices, edits
-- the excise attributes of articles, and asks the server for the monthly A47
-- declaration (anexa19.sql). Column kinds follow what the program declares for its
-- fields: text of a bounded length is varchar(n), unbounded text is text, floating
-- numbers are double precision, date-and-time is timestamp without time zone.
--
-- Columns the ERP requires carry defaults here, so that a row can be made from the
-- few columns a caller cares about.
--
-- Load into an empty database:  psql -v ON_ERROR_STOP=1 -f erp_schema.sql

-- Users of the ERP. A user logs in with emitent and operator_parola (the password as
-- typed, or its SHA-256 hex digest when the company directory says "HashSHA2").
create table emitent (
    emitent                          varchar(100) not null,
    emitent_corect                   varchar(100),
    este_emitent                     boolean not null default false,
    este_operator                    boolean not null default false,
    este_comisionar                  boolean not null default false,
    este_sofer                       boolean not null default false,
    operator_parola                  varchar(256),
    cod_casier_pos                   varchar(10),
    banca_eu_default                 varchar(100),
    cont_banca_eu_default            varchar(28),
    casa                             varchar(50),
    moneda                           varchar(3),
    magazie_sursa_default            varchar(5),
    magazie_dest_default             varchar(5),
    functie                          varchar(30),
    eu_punct_lucru                   varchar(50) not null,
    com_int                          varchar(25),
    loc                              varchar(25),
    nr_obiect                        varchar(20),
    ci_nume                          varchar(30),
    ci_serie                         varchar(3),
    ci_nr                            varchar(25),
    ci_data_elib                     date,
    ci_elib                          varchar(25),
    cnp                              varchar(25),
    transport_mijloc                 varchar(25),
    transport_nr                     varchar(25),
    da_nu_schimbare_pl               boolean not null default false,
    da_nu_adaugare_partener          boolean not null default false,
    da_nu_adaugare_articol           boolean not null default false,
    da_nu_acces_la_politica_pret     boolean not null default false,
    da_nu_modif_data_listare         boolean not null default false,
    da_nu_acces_limita_creditare     boolean not null default false,
    prez_of_stoc_fact_cl             boolean not null default false,
    prez_of_stoc_av_exp              boolean not null default false,
    prez_of_stoc_bte                 boolean not null default false,
    prez_of_stoc_bc                  boolean not null default false,
    pret_fact_cl_cu_tva              boolean not null default false,
    da_nu_fact_pe_calc               boolean not null default false,
    da_nu_modif_nr_fact_pe_calc      boolean not null default false,
    da_nu_fact_autocopy              boolean not null default false,
    da_nu_aviz_autocopy              boolean not null default false,
    da_nu_modif_data_livrare         boolean not null default false,
    nr_zile_prezentare_doc           integer,
    data_ins                         date not null default current_date,
    da_nu_fact_ci_rosu               boolean,
    em_email_adr                     varchar(50),
    tel_fix                          varchar(30),
    tel_mobil                        varchar(30),
    proc_comisionar                  double precision,
    em_outgoing_email_server         varchar(50),
    em_outgoing_email_port           integer,
    em_outgoing_email_secure         boolean not null default false,
    em_outgoing_email_user           varchar(50),
    em_outgoing_email_psw            varchar(50),
    em_outlook                       boolean not null default false,
    lang                             varchar(15),
    rol_web                          varchar(25),
    rol_win                          varchar(25),
    web_theme                        varchar(25),
    discontinued                     boolean not null default false,
    data_export                      timestamp,
    data_import                      timestamp,
    vede_pret_stoc                   boolean,
    da_nu_generare_op                boolean not null default false,
    primary key (emitent)
);

-- Applications enabled globally, and per user with the user's role. Korvat looks its
-- own name up without regard to letter case.
create table aplicatie_mob (
    aplicatie_mob                    varchar(100) not null,
    activ                            boolean not null default false,
    obs                              text,
    primary key (aplicatie_mob)
);

create table aplicatie_mob_emitent (
    aplicatie_mob                    varchar(100) not null,
    emitent                          varchar(100) not null,
    rol                              text,
    primary key (aplicatie_mob, emitent)
);

-- The company's own record: one row.
create table eu (
    cod_cci                          varchar(20) not null default '',
    atribut_fiscal                   varchar(3),
    tip_societate                    varchar(20),
    reg_comert_jud                   varchar(5),
    reg_comert_nr                    varchar(7),
    reg_comert_data                  date,
    reg_comert_jud_suc               varchar(5),
    reg_comert_nr_suc                varchar(7),
    reg_comert_data_suc              date,
    cnp_a                            varchar(13),
    eu                               varchar(100),
    eu_sediu                         varchar(30),
    data_incep_activitate            date not null default current_date,
    trezoreria                       varchar(100),
    trezoreria_cont                  varchar(28),
    data_gen_fact                    date,
    tara                             varchar(3) not null default 'RO',
    localit                          varchar(30) not null default '',
    adresa                           varchar(100) not null default '',
    telefon                          varchar(50),
    fax                              varchar(50),
    email_adr                        varchar(50),
    web_adr                          varchar(50),
    nr_insp_munca                    varchar(15),
    nr_pers_hand_suta_ang            double precision,
    da_nu_modif_ore_prez             boolean,
    da_nu_dimin_avans_cu_ret         boolean,
    formula_calcul_co                varchar(30),
    proc_avans_co                    double precision,
    formula_calcul_avans_q           varchar(30),
    formula_calcul_penalitati        integer,
    proc_avans                       double precision,
    rotunjire_avans                  integer,
    rotunjire_lichidare              integer,
    proc_diminuare_bugetari          double precision,
    nr_autorizatie_alcool            varchar(30),
    metoda_stoc                      varchar(4) not null default 'FIFO',
    da_nu_scadere_stoc_in_viitor     boolean not null default false,
    da_nu_impozit_profit             boolean not null default false,
    da_nu_nevoi_firma                boolean not null default false,
    da_nu_platitor_tva_in_vama       boolean,
    proc_impozit_profit              double precision,
    proc_deductibilitate             double precision,
    prez_of_stoc_fact_cl             boolean not null default false,
    da_nu_postcalcul                 boolean not null default false,
    prez_of_stoc_av_exp              boolean not null default false,
    prez_of_stoc_bte                 boolean not null default false,
    prez_of_stoc_bc                  boolean not null default false,
    pret_fact_cl_cu_tva              boolean not null default false,
    pret_nir_cu_tva                  boolean not null default false,
    pret_cmd_client_cu_tva           boolean not null default false,
    da_nu_tva_neexigibil             boolean not null default false,
    da_nu_list_fact_pr_ctl           boolean not null default false,
    da_nu_list_fact_neop_stoc        boolean not null default false,
    da_nu_bon_pe_calc                boolean not null default false,
    da_nu_cmd_pe_extrasb             boolean not null default false,
    da_nu_fact_pe_calc               boolean not null default false,
    da_nu_fact_autocopy              boolean not null default false,
    da_nu_aviz_autocopy              boolean not null default false,
    da_nu_nir_in_mag_dest            boolean not null default false,
    tip_contabilitate                varchar(20) not null default 'partida dubla',
    da_nu_politica_pret_punct_lucru  boolean not null default false,
    da_nu_nota_c_fara_restrictie     boolean not null default false,
    da_nu_mon_cont_tip_doc           boolean not null default false,
    data_denominare                  date not null default date '2005-07-01',
    da_nu_balanta_pe_obiective       boolean not null default false,
    da_nu_rezervare_stoc             boolean not null default false,
    da_nu_contare_avz_c              boolean not null default false,
    da_nu_contare_nirad              boolean not null default false,
    norma                            double precision not null default 8,
    data_avans                       date,
    data_lichidare                   date,
    strada                           varchar(50),
    nr_strada                        varchar(10),
    bloc                             varchar(10),
    scara                            varchar(5),
    etaj                             varchar(5),
    apt                              varchar(5),
    sector                           varchar(1),
    cod_postal_adresa                varchar(6),
    sup_eu_denumire                  varchar(100),
    sup_eu_cui                       varchar(13),
    eu_cui                           varchar(13),
    eu_cif                           varchar(13),
    eu_reprezentant_legal            varchar(100),
    val_limita_casa_lei              double precision,
    proc_penaliz_intirziere          double precision,
    cod_forma_proprietate            double precision,
    cod_forma_organizare             double precision,
    cod_tip_societate                double precision,
    cod_caen                         varchar(6),
    cod_siruta                       double precision,
    tip_administrare_soc             varchar(50),
    capital_social                   varchar(100),
    da_nu_autoinchidere_cmd_client   boolean not null default false,
    da_nu_autoinchidere_cmd_furn     boolean not null default false,
    da_nu_institutie_publica         boolean not null default false,
    casa_asig_sanatate               varchar(2),
    nr_licenta_turism                varchar(20),
    da_nu_balanta_pe_subunitati      boolean not null default false,
    da_nu_b_casa_stoc                boolean not null default false,
    da_nu_b_casa_articol             boolean not null default false,
    da_nu_salarii_in_postcalcul      boolean not null default false,
    da_nu_turism_in_comision         boolean not null default false,
    da_nu_confirmare_comanda         boolean not null default false,
    da_nu_micro_intreprindere        boolean not null default false,
    da_nu_tva_nededus_cont_separat   boolean not null default false,
    jas_ip                           text,
    jas_ip_ext                       text,
    mod_plata_tva                    varchar(20),
    gln                              varchar(13),
    reges_cod_tip_angajator          varchar(20),
    reges_cod_forma_organizare       varchar(70),
    reges_cod_forma_juridica         varchar(48),
    reges_cod_tip_societate          varchar(30),
    reges_cod_forma_proprietate      varchar(8),
    reges_cod_act_id_pf              varchar(25)
);

-- Document headers, by document key. Supplier invoices are 'FactFI' (intra-EU
-- acquisitions) and 'FactFE' (imports); goods-received notes are 'NIR'. The five
-- excise references are completed by the clerk in Korvat's supplier-invoice window:
-- the base document (tip_doc_ue_baza 'eDA' or 'VAMA', its number and date), the
-- company's authorisation under which the goods were received, and the supplier's
-- excise number.
create table doc (
    data_doc                         date not null,
    tip_doc                          varchar(7) not null,
    nr_doc                           varchar(15) not null,
    partener                         varchar(100),
    data_anulare                     date,
    data_doc_ue_baza                 date,
    tip_doc_ue_baza                  varchar(7),
    nr_doc_ue_baza                   varchar(30),
    emcs_eu_cod_acciza_depozit       varchar(23),
    emcs_partener_cod_acciza_depozit varchar(23),
    primary key (data_doc, tip_doc, nr_doc)
);

-- Document lines. acciza_id is set when the line carries excise goods (the ERP copies
-- it from the article). articol is not a foreign key: articles may be renamed or
-- deleted while their old lines stay as they were.
create table doc_poz (
    data_doc                         date not null,
    tip_doc                          varchar(7) not null,
    nr_doc                           varchar(15) not null,
    scv                              integer not null,
    articol                          varchar(200),
    acciza_id                        integer,
    cantitate                        double precision not null default 0,
    pret                             double precision,
    primary key (data_doc, tip_doc, nr_doc, scv),
    foreign key (data_doc, tip_doc, nr_doc) references doc (data_doc, tip_doc, nr_doc)
        on update cascade on delete cascade
);

-- Documents made from other documents: the made document's key and its source's key
-- (a goods-received note made from a supplier invoice, for instance). No foreign
-- keys: the link is history and survives the deletion of either side.
create table doc_creare (
    data_doc                         date not null,
    tip_doc                          varchar(7) not null,
    nr_doc                           varchar(15) not null,
    data_doc_sursa                   date not null,
    tip_doc_sursa                    varchar(7) not null,
    nr_doc_sursa                     varchar(15) not null,
    primary key (data_doc, tip_doc, nr_doc, data_doc_sursa, tip_doc_sursa, nr_doc_sursa)
);
create index doc_creare_sursa on doc_creare (data_doc_sursa, tip_doc_sursa, nr_doc_sursa);

-- Excise categories, with the excise product code ('B000' beer, 'W200' still wine, ...).
create table acciza (
    acciza_id                        integer not null,
    cod_acciza_ro                    text,
    den_acciza                       varchar(100),
    primary key (acciza_id)
);

-- Articles with their excise attributes. acciza_id is deliberately not a foreign key:
-- the ERP keeps an article's category even when the category is no longer defined.
create table articol (
    articol                          varchar(200) not null,
    um                               varchar(5) not null,
    cod_nc                           varchar(23),
    packaging                        varchar(7),
    grad_alcoolic                    double precision,
    capacitate_litri                 double precision,
    greutate_neta                    double precision,
    emcs_density                     double precision,
    emcs_plato_degree                double precision,
    acciza_id                        integer,
    primary key (articol)
);

-- The company's excise authorisations ('destinatar inregistrat', 'antrepozit fiscal', ...).
create table emcs_autorizatie (
    nr_autorizatie                   varchar(23) not null,
    tip_autorizatie                  varchar(100) not null,
    data_ins                         timestamp not null default now(),
    primary key (nr_autorizatie)
);
