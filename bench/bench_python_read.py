"""Python read of the benchmark layer (1,000,000 lines of 10 vertices with
three attributes): all coordinates into numpy at once, and every record with
its attributes. Run bench_convert --keep DIR first; then
    python3 bench/bench_python_read.py DIR
One line a measurement, in seconds."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "python"))
import orvoapi  # noqa: E402

path = os.path.join(sys.argv[1], "bench.bspatial")
with orvoapi.Layer(path) as layer:
    t = time.perf_counter()
    xy, counts = layer.coordinates()
    print("coordinates(): %d records, %d vertices, %.3f s" % (len(counts), len(xy),
                                                             time.perf_counter() - t))
    t = time.perf_counter()
    n = sum(1 for _ in layer)
    print("records with attributes: %d records, %.3f s" % (n, time.perf_counter() - t))
