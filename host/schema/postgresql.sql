-- Shared tables of the suite on an office's PostgreSQL server, as the host
-- creates them. Same tables, columns, column order, keys and uniqueness as
-- sqlite.sql (a test compares the two); only the header differs.
--
-- Type map between the two engines (the one place that says it):
--   SMALLINT, INTEGER, VARCHAR(n)  the same name and meaning on both;
--   TIMESTAMP                      SQLite keeps the text, PostgreSQL a
--                                  timestamp without time zone.
-- Lengths hold on the server (SQLite ignores them): Periodo takes the six
-- characters of the monthly periods other forms keep in the same tables.
-- Unquoted names fold to lower case on the server; the programs match column
-- names without regard to case, so the spelling below is the host's.
--
-- Column order matters: the control code sums the first 5 (CAB), 6 (DET) or
-- 7 (HDET) columns as numbers and the rest, up to the next-to-last, by
-- character; cNumero is always last. Installer inserts rely on the order of
-- Reportes and envio_t.

CREATE TABLE CAB (
    Tip_doc_d   SMALLINT    NOT NULL,
    Doc_id_d    VARCHAR(11) NOT NULL,
    Periodo     VARCHAR(6)  NOT NULL,
    Formulario  VARCHAR(4)  NOT NULL,
    estado      SMALLINT,
    fec_pro     VARCHAR(10),
    bcolibrad   VARCHAR(2),
    nrocheque   VARCHAR(20),
    cheque      VARCHAR(15),
    efectivo    VARCHAR(15),
    rectifica   VARCHAR(1),
    cNumero     VARCHAR(6),
    PRIMARY KEY (Tip_doc_d, Doc_id_d, Periodo, Formulario)
);

CREATE TABLE DET (
    Tip_doc_d   SMALLINT    NOT NULL,
    Doc_id_d    VARCHAR(11) NOT NULL,
    Periodo     VARCHAR(6)  NOT NULL,
    Formulario  VARCHAR(4)  NOT NULL,
    Casilla     VARCHAR(3)  NOT NULL,
    i_valor     VARCHAR(60),
    idcasilla   VARCHAR(2),
    cNumero     VARCHAR(6),
    PRIMARY KEY (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla)
);

CREATE TABLE HCAB (
    Tip_doc_d   SMALLINT    NOT NULL,
    Doc_id_d    VARCHAR(11) NOT NULL,
    Periodo     VARCHAR(6)  NOT NULL,
    Formulario  VARCHAR(4)  NOT NULL,
    CORREL      VARCHAR(10) NOT NULL,
    NORDEN      INTEGER,
    FEC_ENV     VARCHAR(10),
    CONTROL     VARCHAR(20),
    estado      SMALLINT,
    fec_pro     VARCHAR(10),
    bcolibrad   VARCHAR(2),
    nrocheque   VARCHAR(20),
    cheque      VARCHAR(15),
    efectivo    VARCHAR(15),
    rectifica   VARCHAR(1),
    cNumero     VARCHAR(6),
    PRIMARY KEY (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL)
);

CREATE TABLE HDET (
    Tip_doc_d   SMALLINT    NOT NULL,
    Doc_id_d    VARCHAR(11) NOT NULL,
    Periodo     VARCHAR(6)  NOT NULL,
    Formulario  VARCHAR(4)  NOT NULL,
    Correl      VARCHAR(10) NOT NULL,
    Casilla     VARCHAR(3)  NOT NULL,
    i_valor     VARCHAR(60),
    idcasilla   VARCHAR(2),
    estado      SMALLINT,
    cNumero     VARCHAR(6),
    PRIMARY KEY (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla)
);

-- The taxpayer list reads the number and the name as the 2nd and 4th column.
CREATE TABLE CONT (
    Tip_doc_d     SMALLINT     NOT NULL,
    Doc_id_d      VARCHAR(15)  NOT NULL,
    Tipo_Ingreso  INTEGER,
    Nombre        VARCHAR(100),
    Usuario       VARCHAR(20),
    PRIMARY KEY (Tip_doc_d, Doc_id_d)
);

CREATE TABLE PARAM (
    Numero        VARCHAR(3)   NOT NULL,
    Argumento     VARCHAR(20)  NOT NULL,
    Funcion       VARCHAR(255),
    Correl_param  VARCHAR(3),
    PRIMARY KEY (Numero, Argumento)
);

CREATE TABLE CLAVES (
    Usuario  VARCHAR(20) NOT NULL PRIMARY KEY,
    Tipo     VARCHAR(1)
);

CREATE TABLE ERROR (
    CodError   VARCHAR(4) NOT NULL PRIMARY KEY,
    DescError  VARCHAR(255)
);

CREATE TABLE SPOOL (
    CodRep     VARCHAR(6)  NOT NULL,
    Secuencia  VARCHAR(6)  NOT NULL,
    Archivo    VARCHAR(12) NOT NULL UNIQUE,
    Fecha      TIMESTAMP,
    Usuario    VARCHAR(20),
    Tip_doc_d  SMALLINT,
    doc_id_d   VARCHAR(15),
    PRIMARY KEY (CodRep, Secuencia)
);

CREATE TABLE Reportes (
    CodRep   VARCHAR(6) NOT NULL PRIMARY KEY,
    DescRep  VARCHAR(100),
    Activo   SMALLINT
);

CREATE TABLE envio_t (
    formulario    VARCHAR(4)  NOT NULL,
    tabla_o       VARCHAR(20) NOT NULL,
    tabla_d       VARCHAR(20),
    tabla_ext     VARCHAR(20),
    indice        SMALLINT,
    obliga        SMALLINT,
    c_tip_doc_d   SMALLINT,
    c_doc_id_d    INTEGER,
    c_Formulario  INTEGER,
    c_periodo     INTEGER,
    c_estado      INTEGER,
    c_envio       INTEGER,
    c_semana      INTEGER,
    PRIMARY KEY (formulario, tabla_o)
);
