// Dumps an Access database as JSON through the independent reader "mdb-reader", so that the
// writer's tests can compare what another implementation reads with what was written.
//   node vuelca.mjs FILE.mdb [PASSWORD]
// Output: {"password", "creacion", "tablas": {name: {"filas", "columnas": [{nombre, tipo, tam}],
// "datos": [[value, ...], ...]}}}. Values: null, booleans, numbers, strings (Currency and Decimal
// as exact text), dates as "YYYY-MM-DDTHH:MM:SS.mmm", binary data as {"hex": "..."}.
import MDBReader from "mdb-reader";
import { readFileSync } from "node:fs";

const [archivo, password] = process.argv.slice(2);
const lector = new MDBReader(readFileSync(archivo), password === undefined ? {} : { password });

function valor(v) {
  if (v instanceof Date) return v.toISOString().replace(/Z$/, "");
  if (Buffer.isBuffer(v)) return { hex: v.toString("hex") };
  return v;
}

const tablas = {};
for (const nombre of lector.getTableNames()) {
  const tabla = lector.getTable(nombre);
  const columnas = tabla.getColumns();
  tablas[nombre] = {
    filas: tabla.rowCount,
    columnas: columnas.map((c) => ({ nombre: c.name, tipo: c.type, tam: c.size })),
    datos: tabla.getData().map((fila) => columnas.map((c) => valor(fila[c.name]))),
  };
}
const creacion = lector.getCreationDate();
process.stdout.write(
  JSON.stringify({
    password: lector.getPassword(),
    creacion: creacion ? valor(creacion) : null,
    tablas,
  })
);
