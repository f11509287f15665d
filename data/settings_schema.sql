-- The settings database Quad_imposta.mdb: address book, towns and document types.

-- Address book: the personal columns of Mittenti from Nominativo on, in the same order.
CREATE TABLE Elenco (
    Nominativo TEXT,
    P_iva_CF TEXT,
    Data_nascita DATE,
    Indirizzo TEXT,
    Civico TEXT,
    Citta TEXT,
    Prov TEXT,
    Stato TEXT,
    Cap TEXT
);
CREATE INDEX Elenco_nominativo ON Elenco (Nominativo);

-- Towns: codici holds the postal code in its first five characters, coded by the program's
-- own reversible routine; foreign states have province EE and no postal code.
CREATE TABLE Comuni (
    Citta TEXT,
    Prov TEXT,
    codici TEXT
);
CREATE INDEX Comuni_citta ON Comuni (Citta);

-- Document types and the offices a pick writes into the entry.
CREATE TABLE tipo_doc_entrata (
    descrizione TEXT,
    Ufficio_competente TEXT,
    Ufficio_conoscenza TEXT
);
